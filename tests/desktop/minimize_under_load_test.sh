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

. "$(dirname "$0")/desktop_lib.sh"

unset WAYLAND_DISPLAY XDG_SESSION_TYPE
export LC_ALL=C.UTF-8 VARLO_AUDIO=null XDG_RUNTIME_DIR=$WORK
start_xvfb
start_openbox

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
