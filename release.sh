#!/usr/bin/env bash
# Makes the release from the checkout: a release build in build-release/,
# then dist/Zorvel-<version>.zip and dist/version.dat. Sets up what is
# missing as ./test.sh does. Two runs from two clean clones of one commit
# give byte-identical files: no debug sections, no build paths, the PE time
# stamps and the ZIP's times taken from the commit, a fixed order and fixed
# attributes in the ZIP.
#
# ZORVEL_RELEASE_VERSION=a.b.c.d builds another version than VERSION names
# (the release test makes a later one to update to).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
cache="${ZORVEL_CACHE:-$HOME/.cache/zorvel}"
# shellcheck disable=SC1090,SC1091
. "$cache/deps.env"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}"
export TZ=UTC LC_ALL=C

build="$root/build-release"
maps="-ffile-prefix-map=$root=. -fmacro-prefix-map=$root=."
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DZORVEL_VERSION="${ZORVEL_RELEASE_VERSION:-}" \
  -DCMAKE_C_FLAGS="-g0 $maps" -DCMAKE_CXX_FLAGS="-g0 $maps" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,--no-insert-timestamp" -DCMAKE_SHARED_LINKER_FLAGS="-Wl,--no-insert-timestamp" \
  -DZORVEL_MINIZIP="$ZORVEL_MINIZIP" -DZORVEL_LIBARCHIVE="$ZORVEL_LIBARCHIVE" -DZORVEL_LZMA="$ZORVEL_LZMA" >/dev/null
cmake --build "$build" -j "$(nproc)" --target Zorvel sevenzip32 cab32 unlha32 unrar_dll -- --no-print-directory >/dev/null
# ZORVEL_VERSION and ZORVEL_VERSION_TEXT, as the build made them.
# shellcheck disable=SC1091
. "$build/generated/release.env"

stage="$build/package"
rm -rf "$stage"
mkdir -p "$stage/bin" "$stage/text"
for f in Zorvel.exe 7-zip32.dll cab32.dll unlha32.dll unrar.dll; do
  i686-w64-mingw32-strip --strip-all -o "$stage/bin/$f" "$build/bin/$f"
done
"$root/scripts/third-party-notices.sh" "$cache" > "$stage/text/THIRD-PARTY-NOTICES.txt"
cp "$root/LICENSE" "$stage/text/LICENSE.txt"
sed -e "s/@VERSION@/$ZORVEL_VERSION/g" -e "s/@VERSION_TEXT@/$ZORVEL_VERSION_TEXT/g" \
  "$root/release/はじめにお読みください.txt" > "$stage/text/はじめにお読みください.txt"

mkdir -p "$root/dist"
python3 "$root/scripts/package.py" "$ZORVEL_VERSION" "$SOURCE_DATE_EPOCH" "$stage" "$root/dist"
