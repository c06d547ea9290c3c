#!/usr/bin/env bash
# Makes the photographs thumbnail_bench reads: COUNT (default 20) distinct
# 1600 x 1200 JPEGs of photo-like content (ImageMagick's plasma, blurred, at
# quality 90, about 0.3 to 0.6 MB each), and beside each a 7z archive holding
# it, packed by 7zz as a user's archive would be.
# Usage: make-thumbnail-bench-photos.sh OUTDIR [COUNT]
set -euo pipefail
out="${1:?usage: make-thumbnail-bench-photos.sh OUTDIR [COUNT]}"
count="${2:-20}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
colours=(orange-purple navy-gold green-blue red-yellow teal-pink brown-skyblue)
rm -f "$out"/photo-*.jpg "$out"/photo-*.7z
for ((i = 0; i < count; i++)); do
  name="$(printf 'photo-%03d' "$i")"
  mkdir -p "$work/$name"
  convert -seed "$((i + 1))" -size 1600x1200 "plasma:${colours[i % ${#colours[@]}]}" -blur 0x2 -quality 90 \
    "$out/$name.jpg"
  cp "$out/$name.jpg" "$work/$name/IMG_0001.jpg"
  (cd "$work" && 7zz a -bd -bso0 -t7z -m0=LZMA2 "$out/$name.7z" "$name")
done
echo "bench photos: $count in $out"
