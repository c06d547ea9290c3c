# Sourced by run.sh and test.sh: a display (Xvfb when there is none), the
# Wine prefix, and one persistent wineserver; all stopped again on exit.
. "$(dirname "${BASH_SOURCE[0]}")/env.sh"

zorvel_xvfb_pid=""

zorvel_stop_session() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$zorvel_xvfb_pid" ]; then
    kill "$zorvel_xvfb_pid" >/dev/null 2>&1 || true
    wait "$zorvel_xvfb_pid" 2>/dev/null || true
  fi
}

zorvel_start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    # Large enough for the window at 200 % (the display-scale test). Output
    # to /dev/null: a background process holding the caller's output
    # open would keep CI waiting.
    Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    zorvel_xvfb_pid=$!
    export DISPLAY=":$n"
    local tries
    for tries in $(seq 1 100); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$zorvel_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$zorvel_xvfb_pid" >/dev/null 2>&1 || true
    zorvel_xvfb_pid=""
  done
  echo "could not start Xvfb" >&2
  return 1
}

zorvel_start_session() {
  local want_xvfb="$1"
  trap zorvel_stop_session EXIT
  if [ "$want_xvfb" = always ] || [ -z "${DISPLAY:-}" ]; then
    zorvel_start_xvfb
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix (once)" >&2
    wineserver -k >/dev/null 2>&1 || true
    wineboot -i >/dev/null 2>&1 </dev/null
    wineserver -w
  fi
  # One persistent server for the whole session keeps process starts fast.
  wineserver -p >/dev/null 2>&1 </dev/null
  # Start Wine's own services now, with their output going nowhere: started by
  # the first program, they would hold that program's output open after it ends.
  wineboot >/dev/null 2>&1 </dev/null
}
