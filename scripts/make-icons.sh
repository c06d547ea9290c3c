#!/usr/bin/env bash
# Remakes the checked-in .ico files from their SVG drawings:
#   src/resources/icons/tb_*.ico     toolbar, 32 × display scale and the small sizes
#   src/resources/icons/eyedropper.ico
#   src/resources/zorvel.ico         program icon, up to 256 (stored as PNG, as Windows expects)
# Each picture is drawn at its own size from the SVG, never scaled from a smaller
# bitmap. Sizes up to 24 come from NAME-16.svg when there is one: a drawing on the
# 16-pixel grid whose outlines fall on whole pixels, where the detailed one would blur.
# The same drawings give the same bytes, so a rerun shows up in git only when a drawing changed.
#
#   scripts/make-icons.sh                 rewrite the .ico files
#   scripts/make-icons.sh --sheet FILE    also write a contact sheet of every size (PNG)
# Needs rsvg-convert (librsvg2-bin) and ImageMagick; scripts/setup.sh installs both.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
res="$root/src/resources"

sheet=""
if [ "${1:-}" = "--sheet" ] && [ -n "${2:-}" ]; then
  sheet="$(realpath -m "$2")"
  mkdir -p "$(dirname "$sheet")"
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--sheet FILE.png]" >&2
  exit 2
fi

for tool in rsvg-convert convert montage; do
  command -v "$tool" >/dev/null || { echo "make-icons: $tool is missing; run scripts/setup.sh" >&2; exit 1; }
done

toolbar_sizes=(16 20 24 32 40 48 64)     # 16 × scale for small buttons, 32 × scale for the toolbar
small_sizes=(16 20 24 32)                # 16 × scale
program_sizes=(16 20 24 32 40 48 64 256)

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# render BASE SIZE OUT: draws BASE.svg (or BASE-16.svg for the small sizes) at SIZE pixels.
render() {
  local src="$1.svg"
  if [ "$2" -le 24 ] && [ -f "$1-16.svg" ]; then src="$1-16.svg"; fi
  rsvg-convert --width "$2" --height "$2" --keep-aspect-ratio "$src" --output "$3"
}

# u16/u32 FILE OFFSET: a little-endian number from the file.
u16() { od -An -tu2 -j "$2" -N 2 --endian=little "$1" | tr -d ' '; }
u32() { od -An -tu4 -j "$2" -N 4 --endian=little "$1" | tr -d ' '; }

# check ICO SIZE...: the file holds exactly these sizes, in this order, each 32 bits
# per pixel; 256 as PNG and the rest as bitmaps (old Windows reads no PNG below 256).
# ImageMagick picks the format of each entry itself, so a different version could
# quietly write palettes or a bitmap at 256.
check() {
  local ico="$1"; shift
  if [ "$(u16 "$ico" 2)" != 1 ] || [ "$(u16 "$ico" 4)" != $# ]; then
    echo "make-icons: $ico: not $# icons" >&2; exit 1
  fi
  local i=0 size entry width bpp offset magic
  for size in "$@"; do
    entry=$((6 + 16 * i))
    width=$(od -An -tu1 -j "$entry" -N 1 "$ico" | tr -d ' ')
    bpp=$(u16 "$ico" $((entry + 6)))
    offset=$(u32 "$ico" $((entry + 12)))
    magic=$(od -An -tx1 -j "$offset" -N 4 "$ico" | tr -d ' ')
    if [ "$width" != $((size % 256)) ] || [ "$bpp" != 32 ]; then
      echo "make-icons: $ico: entry $i is not $size pixels at 32 bits" >&2; exit 1
    fi
    if [ "$size" -ge 256 ]; then
      [ "$magic" = 89504e47 ] || { echo "make-icons: $ico: $size is not PNG" >&2; exit 1; }
    else
      [ "$magic" = 28000000 ] || { echo "make-icons: $ico: $size is not a bitmap" >&2; exit 1; }
    fi
    i=$((i + 1))
  done
}

# pack BASE SIZE...: BASE.ico from BASE.svg (and BASE-16.svg).
pack() {
  local base="$1"; shift
  local name pngs=() size
  name="$(basename "$base")"
  for size in "$@"; do
    render "$base" "$size" "$tmp/$name-$size.png"
    pngs+=("$tmp/$name-$size.png")
  done
  # No date or time chunks, so two runs give the same bytes.
  convert "${pngs[@]}" -define png:exclude-chunks=date,time "$tmp/$name.ico"
  check "$tmp/$name.ico" "$@"
  cp "$tmp/$name.ico" "$base.ico"
  echo "make-icons: ${base#"$root"/}.ico ($*)"
}

for button in open folder rename_all rename derive undo thumbnail clear options exit; do
  pack "$res/icons/tb_$button" "${toolbar_sizes[@]}"
done
pack "$res/icons/eyedropper" "${small_sizes[@]}"
pack "$res/zorvel" "${program_sizes[@]}"

[ -n "$sheet" ] || exit 0

# The contact sheet: one row per icon at every size it holds, read back from the
# .ico files, at twice the size with hard pixel edges so blur is easy to see.
font="$(fc-match -f '%{file}' sans 2>/dev/null || true)"
title=()
[ -n "$font" ] && title=(-font "$font" -pointsize 11)
rows=()
for ico in "$res"/icons/tb_*.ico "$res/icons/eyedropper.ico" "$res/zorvel.ico"; do
  name="$(basename "$ico" .ico)"
  count=$(u16 "$ico" 4)
  frames=()
  for ((i = 0; i < count; i++)); do
    [ "$(od -An -tu1 -j $((6 + 16 * i)) -N 1 "$ico" | tr -d ' ')" = 0 ] && continue  # 256 has a row of its own
    frames+=("${ico}[$i]")
  done
  montage "${frames[@]}" -background '#F0F0F0' -gravity south -tile x1 -geometry +6+6 "$tmp/row-$name.png"
  if [ ${#title[@]} -gt 0 ]; then
    convert "$tmp/row-$name.png" -background '#F0F0F0' "${title[@]}" label:"$name" -gravity west +swap -append "$tmp/row-$name.png"
  fi
  rows+=("$tmp/row-$name.png")
done
convert "$res/zorvel.ico[7]" -background '#F0F0F0' -gravity center -extent 268x268 "$tmp/row-zorvel-256.png"
rows+=("$tmp/row-zorvel-256.png")
convert "${rows[@]}" -background '#F0F0F0' -gravity west -append +repage -scale 200% "$sheet"
echo "make-icons: contact sheet $sheet"
