#!/bin/bash
# Option V with voice type 4 through a private Speech Dispatcher: the trial
# phrase is heard from the server, its voices are counted and named, and when the
# server is killed the configured voice speaks in its place.
export VARLO_AUDIO="capture:/tmp/varlo-speechd-$$.cap"
. "$(dirname "$0")/tmux_lib.sh"
. "$(dirname "$0")/speech_server_lib.sh"
CAPTURE=${VARLO_AUDIO#capture:}
trap 'stop_speech_server; cleanup; rm -f "$CAPTURE"' EXIT
mkdir -p "$WORK/projeto" "$WORK/modules"
cd "$WORK/projeto"
# espeak-ng through the server's generic module, with three voices: the
# espeak-ng module itself lists thousands of voices and variants, which
# takes the sanitizer build minutes to read.
cat > "$WORK/modules/espeak.conf" <<'CONF'
GenericExecuteSynth "printf %s \'$DATA\' | espeak-ng -v $VOICE --stdout | $PLAY_COMMAND"
GenericLanguage "pt-BR" "pt-br" "utf-8"
GenericLanguage "en" "en" "utf-8"
AddVoice "en" "MALE1" "en"
AddVoice "pt-BR" "MALE1" "pt-br"
AddVoice "pt-BR" "FEMALE1" "pt-br+f2"
DefaultVoice "pt-br"
CONF
start_speech_server "$WORK/modules" espeak

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
# The list comes a few seconds after the open, on a connection of its own:
# until then N says so, and is pressed again.
total=
for _ in $(seq 60); do
  keys n
  sleep 1
  total=$(screen | sed -n 's/.*Vozes instaladas : *\([0-9][0-9]*\).*/\1/p' | tail -n 1)
  [ -n "$total" ] && break
done
[ "${total:-0}" -gt 1 ] || fail "the server's voices were not counted ($total)"
# The voice tried is named, Brazilian Portuguese voices first.
wait_for "Voz 1 de $total:"
screen | grep -F "Voz 1 de $total:" | grep -q "(pt-BR)" \
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
