#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix
# (CTest uses it as the cross-compiling emulator).
#
# Wine's recycle bin is the desktop's trash, $XDG_DATA_HOME/Trash: each test
# program gets a trash folder of its own, removed when it ends, so no test
# leaves files in the user's real one.
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
XDG_DATA_HOME="$(mktemp -d "${TMPDIR:-/tmp}/zorvel-test-data.XXXXXX")"
export XDG_DATA_HOME
rc=0
wine "$@" || rc=$?
rm -rf "$XDG_DATA_HOME"
exit "$rc"
