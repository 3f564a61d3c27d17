#!/bin/bash
# JANELA MINIMIZA holds on a loaded machine: with two busy loops taking both
# cores, windows that have only just appeared (openbox may not have taken
# them yet) are minimised, each at the first try of the script, and stay so.
# Usage: minimize_under_load_test.sh BUILD_DIR
set -u
BUILD=$(cd "${1:?build directory}" && pwd)
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
ROUNDS=${ROUNDS:-5}

WORK=$(mktemp -d)
started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

unset WAYLAND_DISPLAY XDG_SESSION_TYPE
export LC_ALL=C.UTF-8 VARLO_AUDIO=null XDG_RUNTIME_DIR=$WORK
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
started+=($!)
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -1 "$WORK/display")"
openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
started+=($!)
for _ in $(seq 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done

window_of() { xdotool search --name "^$1\$" 2>/dev/null | head -1; }
wm_state() { xprop -id "$(window_of "$1")" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }

# The load: two loops that never yield.
for _ in 1 2; do
  bash -c 'while :; do :; done' &
  started+=($!)
done

failed=0
for round in $(seq "$ROUNDS"); do
  title="Bloco $round"
  xmessage -title "$title" "texto" >/dev/null 2>&1 &
  started+=($!)
  # As soon as the window exists, whether openbox has taken it yet or not.
  for _ in $(seq 300); do [ -n "$(window_of "$title")" ] && break; sleep 0.02; done
  printf 'JANELA MINIMIZA "*%s"\nCHECA e\nESCREVE e\n' "$title" > "$WORK/min.scr"
  got=$(cd "$WORK" && timeout 60 "$RUNNER" min.scr 2>&1 </dev/null)
  sleep 1
  state=$(wm_state "$title")
  if [ "$got" != "0" ] || [ "$state" != "Iconic" ]; then
    echo "FALHOU: rodada $round: status \"$got\", estado \"$state\""
    failed=1
  fi
done

[ $failed = 0 ] && echo "minimiza ok"
exit $failed
