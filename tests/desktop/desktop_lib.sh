# Shared steps of the desktop tests: a private Xvfb and openbox, windows
# found by title, and every process the test starts ended with it.
WORK=$(mktemp -d)
started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$WORK"
  [ -n "${VARLO_DESKTOP_RUNTIME:-}" ] && rm -rf "$VARLO_DESKTOP_RUNTIME"
}
trap cleanup EXIT

# Xvfb on a display number it picks itself; its pid is started[0]. Without
# -noreset the server starts over when its last client leaves, and a client
# that connects just then (openbox, after the windows of the tests without
# a window manager are gone) is refused.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$WORK/display" 2>/dev/null &
  started+=($!)
  for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
  [ -s "$WORK/display" ] || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=":$(head -1 "$WORK/display")"
}

start_openbox() {
  openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
  started+=($!)
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    sleep 0.1
  done
  echo "openbox did not start:"
  cat "$WORK/openbox.log"
  exit 1
}

# xdotool gives up on a window that closes while it looks: ask again.
window_of() {
  local id
  for _ in $(seq 20); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}
# Whether a window is minimised (Iconic) or shown (Normal).
wm_state() { xprop -id "$(window_of "$1")" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }
