#!/bin/bash
# `varlo livro.txt` divides the text every QUEBRARLINHA lines, converts each
# part to a tagged MP3 in the audio subdirectory named after the text, says
# what it does, leaves no scratch file and ends by itself.
set -u
varlo="$1/varlo"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FALHA: $*"; exit 1; }

mkdir -p "$work/config/murena" "$work/run" "$work/projeto"
printf '[VARLO]\nQUEBRARLINHA=10\nCLEK=NAO\n' > "$work/config/murena/Murena.ini"
cd "$work/projeto"
for i in $(seq 1 25); do echo "Linha $i do livro."; done > livro.txt
cp livro.txt "$work/original.txt"

XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless \
  VARLO_AUDIO="capture:$work/ouvido" timeout 300 "$varlo" livro.txt >"$work/saida" 2>&1
status=$?
[ $status -eq 0 ] || fail "varlo terminou com $status: $(tail -5 "$work/saida")"

for n in 001 002 003; do
  [ -f "livro_$n.PAR" ] || fail "parte $n ausente"
  [ -s "livro/livro_$n.mp3" ] || fail "mp3 $n ausente"
done
[ ! -e livro_004.PAR ] || fail "parte a mais"
[ "$(grep -c '^Linha' livro_003.PAR)" -eq 5 ] || fail "parte 3 deveria ter 5 linhas"
leftovers=$(ls livro | grep -v '\.mp3$')
[ -z "$leftovers" ] || fail "sobras na pasta de audio: $leftovers"
cmp -s livro.txt "$work/original.txt" || fail "texto original alterado"

# The track number and the title line are in the ID3 tag.
tag=$(head -c 400 livro/livro_002.mp3 | tr -d '\000\377\376')
grep -q 'TRCK' <<<"$tag" || fail "sem numero de faixa"
grep -q 'livro 2' <<<"$tag" || fail "sem titulo da parte: $tag"

# It spoke while working.
[ -s "$work/ouvido" ] || fail "nada foi falado"
echo ok
