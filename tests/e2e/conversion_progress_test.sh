#!/bin/bash
# A long conversion is not silent: how far it got is said at the interval
# the user set (here every second) with the part, the percent and the time
# left, and a key pressed while the text records is answered with the pause
# at once, not when the text ends; the recording then goes on to the end.
# Prints how long the key waited for its answer and the seconds of speech
# heard during the conversion.
. "$(dirname "$0")/tmux_lib.sh"
CAPTURE="$WORK/sound.cap"
P="$WORK/projeto"
mkdir -p "$P" "$HOME/.config/murena"
printf '[VARLO]\nAVISOPROGRESSO=1\nCLEK=NAO\n' > "$HOME/.config/murena/Murena.ini"
cd "$P"
for i in $(seq 400); do echo "Esta é a linha $i do livro, que fala de muitas coisas e não acaba logo."; done > livro.txt

start main "VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

keys c
wait_last "Digite W para converter no formato WAV ou 3 para MP3 :"
before=$(captured)
keys W
wait_for "por cento, faltam" 60
screen | grep -qE "^Parte 1 de 1: [0-9]+ por cento, faltam ([0-9]+ minutos? e )?[0-9]+ segundos?$" ||
  fail "the progress line does not give part, percent and time left"
pressed=$(date +%s.%N)
keys x
wait_for "Uma tecla foi pressionada durante o processo de conversão" 10
answered=$(date +%s.%N)
echo "key answered after $(echo "$answered - $pressed" | bc) s"
wait_for "Modo pausa ativado, ESC cancela"
keys Enter
wait_for "Modo pausa desativado"
wait_for "Conversão bem sucedida" 120
wait_prompt
echo "conversion: $(heard_since "$before") s of speech heard"
[ -f WAVMP3/livro.wav ] || fail "no WAV file: $(ls WAVMP3)"
# The voice read the whole book: the progress and the pause went aside.
wav=$(sox --i -D WAVMP3/livro.wav)
awk -v d="$wav" 'BEGIN { exit !(d > 200) }' || fail "WAV lasts only $wav s"
echo PASS
