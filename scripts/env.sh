# Environment shared by run.sh, test.sh and the test runner: a private Wine
# prefix under build/, the Japanese locale (ANSI code page 932) and no Mono
# or Gecko prompts.
ZORVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export ZORVEL_ROOT
export WINEPREFIX="$ZORVEL_ROOT/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
