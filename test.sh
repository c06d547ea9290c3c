#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test under Wine and Xvfb.
# Leaves nothing running when it ends.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
. "$root/scripts/session.sh"
zorvel_start_session always
ctest --test-dir "$root/build" --output-on-failure -j 2 </dev/null
