#!/bin/bash
# Option V with voice type 4 through a private Speech Dispatcher: the trial
# phrase is heard from the server, its voices are counted and named, and when the
# server is killed the configured voice speaks in its place.
export VARLO_AUDIO="capture:/tmp/varlo-speechd-$$.cap"
. "$(dirname "$0")/tmux_lib.sh"
. "$(dirname "$0")/speech_server_lib.sh"
CAPTURE=${VARLO_AUDIO#capture:}
trap 'stop_speech_server; cleanup; rm -f "$CAPTURE"' EXIT
mkdir -p "$WORK/projeto"
cd "$WORK/projeto"
start_speech_server

captured() { stat -c %s "$CAPTURE" 2>/dev/null || echo 0; }
# Wait up to $3 seconds (10 unless given) until the size given by command
# $1 passes $2 bytes.
wait_growth() {
  local i=0
  while [ "$($1)" -le "$2" ] && [ $i -lt $((${3:-10} * 10)) ]; do sleep 0.1; i=$((i + 1)); done
  [ "$($1)" -gt "$2" ]
}

start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

start_voice_trial 4
keys Enter
wait_for "Use as setas"
# The server lists its voices to the program first, which takes seconds
# on a busy machine.
wait_growth speech_captured 22050 30 || fail "the server did not speak the trial phrase"
screen | grep -qF "não está disponível" && fail "type 4 was refused"
keys n
wait_for "Vozes instaladas"
total=$(screen | sed -n 's/.*Vozes instaladas : *\([0-9][0-9]*\).*/\1/p' | tail -n 1)
[ "${total:-0}" -gt 1 ] || fail "the server's voices were not counted ($total)"
# The voice tried is named, Brazilian Portuguese voices first.
wait_for "Voz 1 de $total:"
screen | grep -F "Voz 1 de $total:" | grep -qi "portug" \
  || fail "the first voice is not a Portuguese one"

stop_speech_server
sleep 0.5
before=$(captured)
keys x
wait_growth captured $((before + 22050)) || fail "the configured voice did not take over"
keys Escape
wait_prompt 60
keys Escape
wait_for PROGRAMA-ENCERRADO 30
echo PASS
