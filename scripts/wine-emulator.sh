#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix
# (CTest uses it as the cross-compiling emulator).
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"
exec wine "$@"
