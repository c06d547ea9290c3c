#!/usr/bin/env bash
# Fetches Debian's sources of zlib (for minizip), xz-utils (liblzma) and
# libarchive, unpacks them with Debian's patches applied and cross-compiles
# them for i686-w64-mingw32. Each build is cached once per version under
# ~/.cache/zorvel/ and its install prefix is recorded in
# ~/.cache/zorvel/deps.env for the project's CMake.
set -euo pipefail
shopt -s inherit_errexit
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cache="${ZORVEL_CACHE:-$HOME/.cache/zorvel}"
toolchain="$here/../cmake/mingw-i686.cmake"
jobs="$(nproc)"
mkdir -p "$cache"

# A private apt state whose deb-src entries mirror the machine's own deb
# entries, so no package host is ever named here and the system's apt state
# is left alone.
apt_dir="$cache/apt"
apt_opts=(
  -o "Dir::State=$apt_dir/state" -o "Dir::Cache=$apt_dir/cache"
  -o "Dir::Etc::SourceList=$apt_dir/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root"
)

write_private_sources() {
  mkdir -p "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
  : > "$apt_dir/sources.list.new"
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >> "$apt_dir/sources.list.new"
  fi
  for f in /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list.new"
  done
  rm -f "$apt_dir/sources.list.d/"*.sources
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types:.*$/Types: deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
  done
  mv "$apt_dir/sources.list.new" "$apt_dir/sources.list"
}

apt_ready=0
apt_update_private() {
  if [ $apt_ready = 0 ]; then
    write_private_sources
    apt-get "${apt_opts[@]}" -qq update
    apt_ready=1
  fi
}
apt_private() { apt_update_private; apt-get "${apt_opts[@]}" "$@"; }
apt_cache_private() { apt_update_private; apt-cache "${apt_opts[@]}" "$@"; }


# The version of a source package, from the machine's own installed binary
# packages when possible (no network needed to know the cache is current).
source_version() {
  local src="$1" bin="$2" v
  v="$(dpkg-query -W -f='${source:Version}' "$bin:$(dpkg --print-architecture)" 2>/dev/null || true)"
  if [ -z "$v" ]; then
    v="$(apt_cache_private showsrc "$src" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n1)"
  fi
  echo "$v"
}

# Downloads and unpacks one source package into $cache/src/NAME-VERSION and
# prints that folder. When the wanted version cannot be downloaded (a mirror
# may lack a pool), the newest version that can is taken instead.
fetch_source() {
  local src="$1" want="$2" v dir others
  apt_update_private
  others="$(apt_cache_private showsrc "$src" 2>/dev/null | sed -n 's/^Version: //p' | sort -Vru | grep -vxF "$want" || true)"
  for v in "$want" $others; do
    dir="$cache/src/$src-${v#*:}"
    if [ -f "$dir/.unpacked" ]; then echo "$dir"; return 0; fi
    echo "deps: fetching $src $v" >&2
    rm -rf "$dir" "$cache/dl/$src"
    mkdir -p "$cache/dl/$src" "$cache/src"
    if (cd "$cache/dl/$src" && apt_private -qq source --download-only "$src=$v" >/dev/null 2>&1); then
      dpkg-source -x "$cache/dl/$src/"*.dsc "$dir" >/dev/null
      touch "$dir/.unpacked"
      echo "$dir"
      return 0
    fi
    echo "deps: $src $v could not be downloaded" >&2
  done
  echo "deps: no version of $src could be downloaded" >&2
  return 1
}

zlib_version="$(source_version zlib zlib1g)"
xz_version="$(source_version xz-utils liblzma5)"
la_version="$(source_version libarchive libarchive13)"
[ -n "$zlib_version" ] && [ -n "$xz_version" ] && [ -n "$la_version" ] || {
  echo "deps: cannot determine source versions" >&2; exit 1; }

# Runs a build step with its output in a log, shown only when the step fails.
quiet() {
  local log="$1"; shift
  mkdir -p "$(dirname "$log")"
  if ! "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "deps: failed: $*" >&2
    return 1
  fi
}

mingw_lib=/usr/i686-w64-mingw32/lib
mingw_inc=/usr/i686-w64-mingw32/include

# minizip: built by our own small CMake project from Debian's contrib/minizip.
minizip_prefix="$cache/minizip-${zlib_version#*:}"
if [ ! -f "$minizip_prefix/.built" ]; then
  zsrc="$(fetch_source zlib "$zlib_version")"
  echo "deps: building minizip $zlib_version" >&2
  log="$cache/build/minizip.log"; rm -f "$log"
  rm -rf "$cache/build/minizip" "$minizip_prefix"
  quiet "$log" cmake -S "$here/minizip" -B "$cache/build/minizip" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DMINIZIP_SRC="$zsrc/contrib/minizip" \
    -DCMAKE_INSTALL_PREFIX="$minizip_prefix"
  quiet "$log" cmake --build "$cache/build/minizip" -j "$jobs"
  quiet "$log" cmake --install "$cache/build/minizip"
  touch "$minizip_prefix/.built"
fi

# liblzma, static, for libarchive's 7z LZMA/LZMA2 support.
lzma_prefix="$cache/xz-${xz_version#*:}"
if [ ! -f "$lzma_prefix/.built" ]; then
  xsrc="$(fetch_source xz-utils "$xz_version")"
  echo "deps: building liblzma $xz_version" >&2
  log="$cache/build/xz.log"; rm -f "$log"
  rm -rf "$cache/build/xz" "$lzma_prefix"
  mkdir -p "$cache/build/xz"
  (cd "$cache/build/xz" &&
    quiet "$log" "$xsrc/configure" --host=i686-w64-mingw32 --prefix="$lzma_prefix" \
      --disable-shared --enable-static --disable-xz --disable-xzdec --disable-lzmadec \
      --disable-lzmainfo --disable-scripts --disable-doc --disable-nls \
      CC=i686-w64-mingw32-gcc-posix CFLAGS=-O2 &&
    quiet "$log" make -C src/liblzma -j "$jobs" && quiet "$log" make -C src/liblzma install)
  touch "$lzma_prefix/.built"
fi

# libarchive, static, with only what reading 7z, ZIP, CAB, LZH and RAR needs.
la_prefix="$cache/libarchive-${la_version#*:}-xz-${xz_version#*:}"
if [ ! -f "$la_prefix/.built" ]; then
  lsrc="$(fetch_source libarchive "$la_version")"
  echo "deps: building libarchive $la_version" >&2
  log="$cache/build/libarchive.log"; rm -f "$log"
  rm -rf "$cache/build/libarchive" "$la_prefix"
  quiet "$log" cmake -S "$lsrc" -B "$cache/build/libarchive" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$la_prefix" \
    -DENABLE_TEST=OFF -DENABLE_TAR=OFF -DENABLE_CPIO=OFF -DENABLE_CAT=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_NETTLE=OFF -DENABLE_LIBXML2=OFF \
    -DENABLE_EXPAT=OFF -DENABLE_LZ4=OFF -DENABLE_ZSTD=OFF -DENABLE_BZip2=OFF \
    -DENABLE_LIBB2=OFF -DENABLE_ICONV=OFF -DENABLE_CNG=OFF -DENABLE_ACL=OFF -DENABLE_XATTR=OFF \
    -DENABLE_LZO=OFF -DENABLE_LZMA=ON -DENABLE_ZLIB=ON -DENABLE_WERROR=OFF \
    -DLIBLZMA_INCLUDE_DIR="$lzma_prefix/include" -DLIBLZMA_LIBRARY="$lzma_prefix/lib/liblzma.a" \
    -DZLIB_INCLUDE_DIR="$mingw_inc" -DZLIB_LIBRARY="$mingw_lib/libz.a"
  quiet "$log" cmake --build "$cache/build/libarchive" --target archive_static -j "$jobs"
  mkdir -p "$la_prefix/lib" "$la_prefix/include"
  cp "$cache/build/libarchive/libarchive/libarchive_static.a" "$la_prefix/lib/libarchive.a" 2>/dev/null ||
    cp "$(find "$cache/build/libarchive" -name 'libarchive*.a' | head -n1)" "$la_prefix/lib/libarchive.a"
  cp "$lsrc/libarchive/archive.h" "$lsrc/libarchive/archive_entry.h" "$la_prefix/include/"
  touch "$la_prefix/.built"
fi

cat > "$cache/deps.env.new" <<EOF
ZORVEL_MINIZIP=$minizip_prefix
ZORVEL_LZMA=$lzma_prefix
ZORVEL_LIBARCHIVE=$la_prefix
EOF
mv "$cache/deps.env.new" "$cache/deps.env"
