#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test under Wine and Xvfb.
# Leaves nothing running when it ends.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
# On a kernel without a 32-bit mode, setup has Wine run through QEMU's
# emulator: enough to start Zorvel, but every Wine process then takes about
# a minute to start, and the suite starts hundreds. Say so at once rather
# than run into every test's time limit.
if grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null && [ "${ZORVEL_TEST_EMULATED:-0}" != 1 ]; then
  echo "test.sh: this machine runs 32-bit programs only through an emulator (its kernel has no 32-bit mode)," >&2
  echo "test.sh: where the suite takes many hours; run it on a machine that runs 32-bit programs," >&2
  echo "test.sh: or set ZORVEL_TEST_EMULATED=1 to run it here all the same" >&2
  exit 1
fi
"$root/scripts/build.sh"
. "$root/scripts/session.sh"
zorvel_start_session always
# No test may leave anything in the user's own recycle bin.
trash="${XDG_DATA_HOME:-$HOME/.local/share}/Trash/files"
before="$(ls -A "$trash" 2>/dev/null || true)"
rc=0
ctest --test-dir "$root/build" --output-on-failure -j 2 </dev/null || rc=$?
if [ "$(ls -A "$trash" 2>/dev/null || true)" != "$before" ]; then
  echo "test.sh: the tests left files in $trash" >&2
  rc=1
fi
exit "$rc"
