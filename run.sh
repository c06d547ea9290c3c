#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Zorvel under Wine with the
# given arguments, for example: ./run.sh /verysilent some.zip
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" >/dev/null
. "$root/scripts/session.sh"
zorvel_start_session when-needed
wine "$root/build/bin/Zorvel.exe" "$@"
