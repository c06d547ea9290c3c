#!/usr/bin/env bash
# Configures (once) and builds Zorvel, its tests and benchmarks into build/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="${ZORVEL_CACHE:-$HOME/.cache/zorvel}/deps.env"
# shellcheck disable=SC1090
. "$deps"
cmake -S "$root" -B "$root/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DZORVEL_MINIZIP="$ZORVEL_MINIZIP" \
  -DZORVEL_LIBARCHIVE="$ZORVEL_LIBARCHIVE" -DZORVEL_LZMA="$ZORVEL_LZMA" >/dev/null
cmake --build "$root/build" -j "$(nproc)" -- --no-print-directory
