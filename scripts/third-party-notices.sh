#!/usr/bin/env bash
# Writes THIRD-PARTY-NOTICES.txt (to standard output): the notices and
# licence texts of everything linked into what the release ships, each
# with its version, taken from the sources and packages the build used:
# Debian's source trees of libarchive, zlib (minizip) and xz-utils in the
# deps cache given as $1, and the copyright files of the installed zlib,
# mingw-w64 and GCC packages.
set -euo pipefail
cache="$1"

# The one unpacked source tree of a package in the cache.
source_tree() {
  local dirs
  dirs="$(find "$cache/src" -mindepth 1 -maxdepth 1 -type d -name "$1-*" | sort -V)"
  [ -n "$dirs" ] || { echo "notices: no $1 source in $cache/src" >&2; return 1; }
  tail -n1 <<<"$dirs"
}
source_version() { dpkg-parsechangelog -l "$1/debian/changelog" -S Version; }
package_version() { dpkg-query -W -f='${Version}' "$1"; }

heading() {
  printf '%s\n' "========================================================================" \
    "$1" "========================================================================" ""
}

libarchive="$(source_tree libarchive)"
zlib="$(source_tree zlib)"
xz="$(source_tree xz-utils)"

cat <<'TEXT'
Zorvel includes the following third-party software. Their notices and
licence texts follow, as their authors ask for them to accompany the
binaries. The version of each is the Debian source or binary package the
release was built from.

- libarchive (in 7-zip32.dll, cab32.dll, unlha32.dll, unrar.dll)
- zlib (in Zorvel.exe and the four libraries)
- minizip, from zlib's contrib/minizip (in Zorvel.exe)
- liblzma, from XZ Utils (in the four libraries)
- the mingw-w64 runtime and winpthreads (in every file)
- the GCC runtime libraries libgcc and libstdc++, under the GCC Runtime
  Library Exception (in every file)

TEXT

heading "libarchive $(source_version "$libarchive")"
cat "$libarchive/COPYING"
echo

heading "zlib $(package_version libz-mingw-w64-dev) (Debian package libz-mingw-w64-dev)"
cat /usr/share/doc/libz-mingw-w64/copyright
echo

heading "minizip, from zlib $(source_version "$zlib") (contrib/minizip)"
# The notice is the head comment of its header.
sed -n '1,/^\*\//p' "$zlib/contrib/minizip/unzip.h"
echo

heading "liblzma, from XZ Utils $(source_version "$xz")"
cat "$xz/COPYING"
echo

heading "mingw-w64 runtime and winpthreads $(package_version mingw-w64-i686-dev) (Debian package mingw-w64-i686-dev)"
cat /usr/share/doc/mingw-w64-i686-dev/copyright
echo

heading "GCC runtime libraries (libgcc, libstdc++) $(package_version gcc-mingw-w64-i686-posix-runtime)"
cat <<'TEXT'
libgcc and libstdc++ are licensed under the GNU General Public License,
version 3 or later, with version 3.1 of the GCC Runtime Library Exception,
which permits conveying programs compiled with GCC and combined with these
runtime libraries under terms of the program's own choice. The exception:

TEXT
sed -n '/^GCC RUNTIME LIBRARY EXCEPTION$/,/^requirements of the license of GCC\.$/p' \
  /usr/share/doc/gcc-mingw-w64-base/copyright
