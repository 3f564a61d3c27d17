#!/bin/bash
# The project options as a user meets them: L lists .txt and .TXT files, M
# then S keeps two marked files, I reports the size, the arrow menu runs an
# option, A writes the settings file and a second run reads it back, T reads
# a text aloud (the sound is captured).
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/projeto"
mkdir -p "$P"
head -c 30000 /dev/zero | tr '\0' 'a' > "$P/alfa.txt"
head -c 30000 /dev/zero | tr '\0' 'b' > "$P/BETA.TXT"
printf 'Bom dia. Este texto é lido em voz alta.\n' > "$P/gama.txt"
size=$(cat "$P"/* | wc -c)
head -c $((70000 - size)) /dev/zero > "$P/resto.dat"
cd "$P"
export VARLO_AUDIO="capture:$WORK/som.cap"

start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_for "Total de arquivo(s) a converter --- 3"
wait_prompt

keys l
wait_for "Poderei converter"
wait_prompt
screen | grep -qF "BETA.TXT" || fail "the upper-case .TXT file is not listed"
wait_prompt

keys m
wait_for "S para selecionar por arquivo"
keys s
wait_for "Pressione ENTER ao final da sele"
sleep 2
for k in Space Down Space Enter; do keys $k; sleep 1; done
wait_for "OK, feita a seleção" 30
wait_prompt
keys l
wait_for "Poderei converter"
wait_prompt
listing=$(screen | sed -n '/Poderei converter/,$p')
[ "$(echo "$listing" | grep -cE 'alfa.txt|BETA.TXT|gama.txt')" -eq 2 ] || fail "selection should hold two files: $listing"

keys i
wait_for "Tamanho --- 68 K" 60
wait_prompt

# The arrow menu: Down opens it, six entries down is "L".
keys Down
wait_for "Gerar CD"
keys Down Down Down Down Down Enter
wait_for "Poderei converter" 30
wait_prompt

keys a
wait_for "Linhas por arquivo" 30
for i in 1 2 3 4 5 6 7 8; do keys Down; sleep 0.3; done
keys 5 0 Escape
wait_for "Digite uma frase" 60
keys Escape
wait_for "OK, ajustado" 60
grep -q '^QUEBRARLINHA=50' "$HOME/.config/murena/Murena.ini" || fail "settings not written: $(cat $HOME/.config/murena/Murena.ini)"
wait_prompt
quit_and_start_again "$P"
WINDOW=again keys a
WINDOW=again wait_for "Linhas por arquivo" 30
WINDOW=again screen | grep -qE "Linhas por arquivo : +50" || WINDOW=again fail "second run did not read 50 back"
WINDOW=again keys Escape
WINDOW=again wait_for "Digite uma frase" 60
# The phrase said, the answer to the voice question ends its line.
WINDOW=again keys Enter
WINDOW=again wait_for "(sim ou não) ?" 60
WINDOW=again keys n
WINDOW=again wait_for "OK, ajustado" 60
WINDOW=again screen | grep -qE '^OK, ajustado *$' || WINDOW=again fail "'OK, ajustado' not on its own line"
WINDOW=again wait_prompt

before=$(stat -c %s "$WORK/som.cap")
WINDOW=again keys t
WINDOW=again wait_for "Selecione o arquivo" 30
WINDOW=again keys Down
sleep 1
WINDOW=again keys Enter
WINDOW=again wait_for "OK" 90
after=$(stat -c %s "$WORK/som.cap")
[ "$after" -gt $((before + 32000)) ] || WINDOW=again fail "option T played no speech ($before -> $after bytes)"
echo PASS
