#!/usr/bin/env bash
# Makes the archives the archiver-library tests read and the pictures the
# thumbnail tests read, with Debian's own tools (ImageMagick for pictures,
# 7zz for 7z and ZIP, gcab for CAB); LZH has no packer in Debian, so its
# archives are written byte by byte here. Usage: make-archive-fixtures.sh OUTDIR
set -euo pipefail
out="${1:?usage: make-archive-fixtures.sh OUTDIR}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Member contents: small, distinct, and fixed so the tests can compare bytes.
content_a() { printf 'Zorvel fixture: Photos/a.jpg\n'; }
content_bc() { printf 'Zorvel fixture: Photos/b c.jpg (a name with a space)\n'; }
# Larger, repetitive data, so a solid 7z block really spans several members.
content_big() { local i; for ((i = 0; i < 4000; i++)); do printf '%s line %05d\n' "$1" "$i"; done; }

src="$work/src"
mkdir -p "$src/Photos" "$src/写真" "$src/Solid"
content_a > "$src/Photos/a.jpg"
content_bc > "$src/Photos/b c.jpg"
content_a > "$src/写真/a.jpg"
content_big one > "$src/Solid/1.txt"
content_big two > "$src/Solid/2.txt"
content_big three > "$src/Solid/3.txt"
# A folder name in decomposed form (か + combining voiced mark): listed in
# composed form, as libarchive lists it. A symbolic link: a 7z our reader
# leaves to libarchive.
nfd="$(printf '\xe3\x81\x8b\xe3\x82\x99')"
mkdir -p "$src/$nfd" "$src/Linked"
content_a > "$src/$nfd/a.jpg"
content_a > "$src/Linked/a.jpg"
ln -s a.jpg "$src/Linked/b.jpg"
touch -d '2020-01-02 03:04:06' "$src/Photos" "$src/Photos/"* "$src/写真" "$src/写真/"* "$src/Solid" "$src/Solid/"*

rm -f "$out"/*.7z "$out"/*.zip "$out"/*.cab "$out"/*.lzh "$out"/*.txt
(
  cd "$src"
  7zz a -bd -bso0 -t7z -m0=LZMA2 -ms=off "$out/photos.7z" Photos
  7zz a -bd -bso0 -t7z -m0=LZMA2 -ms=on "$out/solid.7z" Solid
  7zz a -bd -bso0 -t7z -m0=LZMA2 "$out/japanese.7z" 写真
  7zz a -bd -bso0 -t7z -m0=LZMA2 "$out/decomposed.7z" "$nfd"
  7zz a -bd -bso0 -t7z -m0=LZMA2 -snl "$out/symlink.7z" Linked
  7zz a -bd -bso0 -tzip "$out/photos.zip" Photos
  # gcab keeps the paths as given, so the folder goes into the cabinet.
  gcab -c "$out/photos.cab" Photos/a.jpg "Photos/b c.jpg"
)
printf 'This is a text file, not an archive.\n' > "$out/notes.txt"

# Pictures as a real encoder writes them, which the thumbnail tests expect
# drawn: JPEG (its entropy-coded data holds stuffed 0xFF bytes) and
# progressive JPEG, a GIF of three frames, a TIFF of two pages, an icon of
# one 256 x 256 PNG image and one of a 32 x 32 bitmap.
pictures="$out/pictures"
rm -rf "$pictures"
mkdir -p "$pictures"
convert -seed 7 -size 96x64 plasma:navy-orange -quality 85 "$pictures/photo.jpg"
convert "$pictures/photo.jpg" -interlace JPEG "$pictures/progressive.jpg"
convert -size 48x32 xc:red xc:lime xc:blue "$pictures/frames.gif"
convert -size 48x32 xc:red xc:blue -depth 8 "$pictures/pages.tif"
convert -size 256x256 xc:teal "$pictures/png.ico"
convert -size 32x32 xc:teal "$pictures/dib.ico"

# A folder with links back to itself and to its parent: a walk that followed
# them would list a.zip again and again.
rm -rf "$out/links"
mkdir -p "$out/links/sub"
printf 'x' > "$out/links/a.zip"
ln -s . "$out/links/loop"
ln -s .. "$out/links/sub/up"

# --- LZH, level-0 headers, stored ("-lh0-") members -------------------------

hex_of() { od -An -v -tx1 | tr -d ' \n'; }

# CRC-16 (polynomial 0xA001, reflected, start 0) of the bytes in hex $1.
crc16() {
  local hex="$1" crc=0 i b k
  for ((i = 0; i < ${#hex}; i += 2)); do
    b=$((16#${hex:i:2}))
    crc=$((crc ^ b))
    for ((k = 0; k < 8; k++)); do
      if ((crc & 1)); then crc=$(((crc >> 1) ^ 0xA001)); else crc=$((crc >> 1)); fi
    done
  done
  echo "$crc"
}

le16() { printf '%02x%02x' $(($1 & 255)) $((($1 >> 8) & 255)); }
le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }

# One member: method ("-lh0-" or "-lhd-"), attribute byte, name bytes in hex,
# data bytes in hex. Prints the member (header and data) in hex.
lzh_member() {
  local method="$1" attr="$2" name="$3" data="$4"
  local nlen=$((${#name} / 2)) dlen=$((${#data} / 2))
  local body sum=0 i
  # From the method to the data CRC: the part the header checksum covers.
  body="$(printf '%s' "$method" | hex_of)$(le32 "$dlen")$(le32 "$dlen")"
  body+="8318$(le16 0x5022)"  # DOS time 03:04:06, date 2020-01-02
  body+="$(printf '%02x' "$attr")00$(printf '%02x' "$nlen")$name$(le16 "$(crc16 "$data")")"
  for ((i = 0; i < ${#body}; i += 2)); do sum=$((sum + 16#${body:i:2})); done
  printf '%02x%02x%s%s' $((${#body} / 2)) $((sum & 255)) "$body" "$data"
}

name_hex() { printf '%s' "$1" | hex_of; }

{
  lzh_member -lhd- 0x10 "$(name_hex 'Photos\')" ""
  lzh_member -lh0- 0x20 "$(name_hex 'Photos\a.jpg')" "$(content_a | hex_of)"
  lzh_member -lh0- 0x20 "$(name_hex 'Photos\b c.jpg')" "$(content_bc | hex_of)"
  printf '00'
} | xxd -r -p > "$out/photos.lzh"

# 写真\a.jpg in Shift_JIS, as Japanese LZH packers write it.
{
  lzh_member -lh0- 0x20 "8eca905e5c612e6a7067" "$(content_a | hex_of)"
  printf '00'
} | xxd -r -p > "$out/japanese.lzh"

echo "fixtures: $(ls "$out" | tr '\n' ' ')"
