#!/bin/bash
# Option V with voice type 4 when its speech server cannot be reached: the
# user is told so on screen and the trial phrase is heard in the configured
# voice instead of a silent loop.
export VARLO_AUDIO="capture:/tmp/varlo-voice-type-$$.cap"
. "$(dirname "$0")/tmux_lib.sh"
CAPTURE=${VARLO_AUDIO#capture:}
trap 'cleanup; rm -f "$CAPTURE"' EXIT
mkdir -p "$WORK/projeto"
export SPEECHD_ADDRESS="unix_socket:$WORK/no-server"
cd "$WORK/projeto"

captured() { stat -c %s "$CAPTURE" 2>/dev/null || echo 0; }

start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

start_voice_trial 4
sleep 1
keys Enter
wait_for "A voz do tipo 4 não está disponível neste sistema" 30
# The phrase follows the notice: a second of 16-bit sound at 22050 Hz or more.
before=$(captured)
i=0
while [ "$(captured)" -lt $((before + 44100)) ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
[ "$(captured)" -ge $((before + 44100)) ] || fail "the trial phrase was not heard (capture $before -> $(captured))"
keys Escape
wait_prompt 60
[ "$(screen | grep -cF 'não está disponível neste sistema')" -eq 1 ] || fail "the notice was not said once"
keys Escape
wait_for PROGRAMA-ENCERRADO 30
echo PASS
