#!/usr/bin/env bash
# The release: two clean clones of the checkout's commit build byte-identical
# packages; a package holds what a user needs, in Windows text form, and
# nothing of the build machine; its Zorvel.exe finds, downloads and verifies
# a later release on a local server, and the later one renames an archive.
# Usage: release_test.sh <checkout> <build folder of this test run>
set -euo pipefail
root="$1"
build="$2"
. "$root/scripts/env.sh"
work="$(mktemp -d "${TMPDIR:-/tmp}/zorvel-release.XXXXXX")"
server=""
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
windows() { local p="Z:$1"; echo "${p//\//\\}"; }
unpack() { python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$1" "$2"; }

# Two clean clones, in folders of different names and lengths.
git clone -q "$root" "$work/a"
git clone -q "$root" "$work/second-clone"
for clone in "$work/a" "$work/second-clone"; do (cd "$clone" && ./release.sh) || fail "release.sh in $clone"; done
version="$(head -n1 "$work/a/VERSION")"
package="Zorvel-$version.zip"
sum_a="$(sha256sum < "$work/a/dist/$package")"
sum_b="$(sha256sum < "$work/second-clone/dist/$package")"
[ "$sum_a" = "$sum_b" ] || fail "the two clones' packages differ"
cmp -s "$work/a/dist/version.dat" "$work/second-clone/dist/version.dat" || fail "the two version files differ"
echo "package $package: $(stat -c %s "$work/a/dist/$package") bytes, sha256 ${sum_a%% *} from both clones"
grep -qx "$version,$package,/update/$package,${sum_a%% *}"$'\r' "$work/a/dist/version.dat" || fail "version.dat"

# What is in it.
expected="Zorvel-$version/
Zorvel-$version/7-zip32.dll
Zorvel-$version/LICENSE.txt
Zorvel-$version/THIRD-PARTY-NOTICES.txt
Zorvel-$version/Zorvel.exe
Zorvel-$version/cab32.dll
Zorvel-$version/unlha32.dll
Zorvel-$version/unrar.dll
Zorvel-$version/はじめにお読みください.txt"
listed="$(python3 -c 'import sys, zipfile; print("\n".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$work/a/dist/$package")"
[ "$listed" = "$expected" ] || fail "the package holds: $listed"
unpack "$work/a/dist/$package" "$work/old"
old="$work/old/Zorvel-$version"
for text in "$old"/*.txt; do
  python3 -c 'import sys; d = open(sys.argv[1], "rb").read()
sys.exit(not (d.startswith(b"\xef\xbb\xbf") and d.endswith(b"\r\n") and d.count(b"\n") == d.count(b"\r\n")))' "$text" ||
    fail "$text is not UTF-8 with a byte-order mark and CR LF line ends"
done
for component in libarchive zlib minizip liblzma "XZ Utils" mingw-w64 winpthreads libstdc++ \
  "GCC RUNTIME LIBRARY EXCEPTION"; do
  grep -q "$component" "$old/THIRD-PARTY-NOTICES.txt" || fail "the notices do not name $component"
done
grep -q "MIT License" "$old/LICENSE.txt" || fail "LICENSE.txt"
for binary in "$old"/*.exe "$old"/*.dll; do
  ! i686-w64-mingw32-objdump -h "$binary" | grep -q '\.debug' || fail "$binary has debug sections"
  ! grep -q -a -e "$work" -e "$HOME" "$binary" || fail "$binary holds a build path"
  imports="$(i686-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' |
    grep -vxE '(kernel32|user32|gdi32|comdlg32|comctl32|shell32|shlwapi|ole32|oleaut32|gdiplus|wininet|version|normaliz|advapi32|bcrypt|msvcrt|ws2_32|uxtheme)\.dll' || true)"
  [ -z "$imports" ] || fail "$binary imports $imports"
done

# A later release on a local server; the older package's program finds it,
# downloads it and checks its SHA-256 against version.dat.
IFS=. read -r major minor _ <<<"$version"
next="$major.$((minor + 1)).0.0"
(cd "$work/second-clone" && ZORVEL_RELEASE_VERSION="$next" ./release.sh) || fail "release.sh for $next"
mkdir -p "$work/www/update" "$work/saved"
cp "$work/second-clone/dist/Zorvel-$next.zip" "$work/second-clone/dist/version.dat" "$work/www/update/"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/www" >"$work/server.log" 2>&1 </dev/null &
server=$!
port=""
for _ in $(seq 1 100); do
  port="$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$work/server.log" | head -n1)"
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the local server did not start"
ZORVEL_UPDATE_HOST="127.0.0.1:$port" ZORVEL_UPDATE_URL="http://127.0.0.1:$port/update/version.dat" \
  "$root/scripts/wine-emulator.sh" "$build/tests/update_driver.exe" "$(windows "$old/Zorvel.exe")" \
  "$(windows "$work/saved/Zorvel-$next.zip")" || fail "the update check did not save the later release"
cmp -s "$work/saved/Zorvel-$next.zip" "$work/www/update/Zorvel-$next.zip" || fail "the saved download differs"

# The later program renames an archive in a fresh folder.
unpack "$work/saved/Zorvel-$next.zip" "$work/new"
mkdir -p "$work/fresh"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], "w").writestr("Inside/a.jpg", "x")' "$work/fresh/x.zip"
"$root/scripts/wine-emulator.sh" "$(windows "$work/new/Zorvel-$next/Zorvel.exe")" /verysilent \
  "$(windows "$work/fresh/x.zip")" || fail "Zorvel $next /verysilent failed"
[ -f "$work/fresh/Inside.zip" ] && [ ! -e "$work/fresh/x.zip" ] || fail "x.zip was not renamed: $(ls "$work/fresh")"
echo "release test passed"
