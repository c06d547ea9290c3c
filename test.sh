#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test under Wine and Xvfb.
# Leaves nothing running when it ends.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
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
