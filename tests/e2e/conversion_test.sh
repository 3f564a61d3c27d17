#!/bin/bash
# Option C as a user meets it: a text with a voice marker and an effect
# marker becomes a WAV file, then an MP3 file whose decoded length is the
# same; no scratch file is left in the project.
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/projeto"
mkdir -p "$P"
cd "$P"
sox -n -r 22050 -b 16 -c 1 porta.wav synth 1.5 sine 440 || fail "sox could not make the effect"
printf 'Bom dia. Este é um livro de teste.\n#SAPI#5,2,0,0\nEsta é outra voz.\n#SOM#porta.wav\nFim do livro.\n' > livro.txt
cp livro.txt "$WORK/original.txt"

start main "$BUILD/varlo; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

convert() {
  keys c
  wait_last "Digite W para converter no formato WAV ou 3 para MP3 :"
  keys "$1"
  wait_for "Conversão bem sucedida" 120
  wait_prompt
}

convert W
[ -f WAVMP3/livro.wav ] || fail "no WAV file: $(ls WAVMP3)"
wav=$(sox --i -D WAVMP3/livro.wav)
# The effect lasts 1.5 s; the three sentences take well over a second more.
awk -v d="$wav" 'BEGIN { exit !(d > 3.0 && d < 30) }' || fail "WAV lasts $wav s"

convert 3
[ -f WAVMP3/livro.mp3 ] || fail "no MP3 file: $(ls WAVMP3)"
lame --quiet --decode WAVMP3/livro.mp3 "$WORK/decoded.wav" || fail "lame cannot decode the MP3"
mp3=$(sox --i -D "$WORK/decoded.wav")
awk -v a="$wav" -v b="$mp3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d < 0.1) }' \
  || fail "MP3 lasts $mp3 s, WAV $wav s"

left=$(find "$P" -name temp.wav -o -name 'ARQ_WAV.$$$')
[ -z "$left" ] || fail "scratch files left: $left"
cmp -s livro.txt "$WORK/original.txt" || fail "the source text was changed"
echo PASS
