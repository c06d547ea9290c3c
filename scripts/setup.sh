#!/usr/bin/env bash
# Installs what building, running and testing Zorvel needs on Debian 12 and
# fetches and builds the third-party sources. Quick when nothing is missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

packages=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 libz-mingw-w64-dev
  cmake make dpkg-dev
  wine wine32:i386
  xvfb x11-utils xauth imagemagick
  locales fonts-ipafont-gothic fonts-ipafont-mincho
  googletest 7zip gcab xxd
  librsvg2-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Some virtual machines run 64-bit programs only (no 32-bit compatibility
# mode in their kernel), and 32-bit Wine then fails with "Exec format
# error". There the i386 programs run through QEMU's user-mode emulator,
# registered with the kernel for i386 executables: the same Wine and the
# same program. It must be QEMU 8 or later: Debian 12's own 7.2 walks its
# page table once per page whenever Wine maps a range, and a Wine process
# then takes a minute to start instead of under a second. bookworm-backports
# has a later one, built statically.
qemu=/usr/bin/qemu-i386
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  if ! "$qemu" --version 2>/dev/null | grep -q 'version \([89]\|[1-9][0-9]\)\.'; then
    echo "setup: this kernel runs no 32-bit programs; installing QEMU's i386 emulator from bookworm-backports"
    printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' \
      > /etc/apt/sources.list.d/zorvel-backports.sources
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user >/dev/null
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  # An older registration (Debian 12's slow emulator) gives way to this one.
  if [ -e "$binfmt/qemu-i386" ] && ! grep -qx "interpreter $qemu" "$binfmt/qemu-i386"; then
    echo -1 > "$binfmt/qemu-i386"
  fi
  if [ ! -e "$binfmt/qemu-i386" ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
      > "$binfmt/register"
  fi
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo "setup: 32-bit programs still cannot run" >&2; exit 1; }
fi

# Wine gives the ANSI code page 932 only when this locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating ja_JP.UTF-8"
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

"$here/deps.sh"
