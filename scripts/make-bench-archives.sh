#!/usr/bin/env bash
# Makes the realistic 7z archive derive_bench reads: 200 photographs of 40 to
# 120 KB (random bytes, as incompressible as JPEG data) in a folder, packed
# by 7zz with LZMA2 and its compressed header, as a user's archive would be.
# Usage: make-bench-archives.sh OUTDIR
set -euo pipefail
out="${1:?usage: make-bench-archives.sh OUTDIR}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Photos"
for ((i = 0; i < 200; i++)); do
  head -c $((40000 + (i * 7919) % 80000)) /dev/urandom > "$work/Photos/IMG_$((1000 + i)).jpg"
done
rm -f "$out/photos200.7z"
(cd "$work" && 7zz a -bd -bso0 -t7z -m0=LZMA2 "$out/photos200.7z" Photos)
echo "bench archives: $(ls "$out" | tr '\n' ' ')"
