# Sourced by the screen tests: start_xvfb SIZE starts a virtual X server on a free display, sets xvfb (its
# process) and DISPLAY, and returns 1 when none would serve. A server can report a display that another
# server started at the same moment holds; such a display refuses us, and a new server is started. Without
# -noreset the server resets whenever its last client leaves and refuses the next one meanwhile.
start_xvfb() {
  local size=$1 attempt
  for attempt in 1 2 3; do
    rm -f "$work/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    local deadline=$((SECONDS + 10))
    until [ -s "$work/display" ] || [ $SECONDS -ge $deadline ]; do sleep 0.05; done
    if [ -s "$work/display" ]; then
      export DISPLAY=":$(head -n1 "$work/display")"
      xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    fi
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=""
  done
  return 1
}
