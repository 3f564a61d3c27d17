#!/bin/bash
# Option G as a user meets it, with the recorder set to an image file: the
# burner is found beside the program (not on the PATH), ESC at the speed
# takes the default, the typed label reaches the image; Ctrl+G given up at
# the confirmation comes back to the project. An image file is said made,
# with its path, and the drawer reminder is kept for real drives.
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/meus livros"
mkdir -p "$P" "$WORK/outro" "$HOME/.config/murena"
printf 'Primeiro capítulo.\n' > "$P/capítulo.txt"
printf 'Outro.\n' > "$WORK/outro/outro.txt"
printf '[VARLO]\nCD=%s\n' "$WORK/disco.iso" > "$HOME/.config/murena/Murena.ini"
cd "$P"

start main "PATH=/usr/bin:/bin $BUILD/varlo; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

keys g
wait_for "Informe com as setas a velocidade"
sleep 1
keys Escape
wait_for "Informe o rótulo do CD"
keys "meu disco" Enter
wait_for "Deseja obter maiores informações"
keys s
wait_for "VELOCIDADE PADRÃO" 30
wait_for "Rótulo do CD/DVD : meu_disco"
wait_for "ENTER confirma - ESCAPE cancela"
sleep 1
keys Enter
wait_for "Imagem do CD gravada com sucesso em" 60
screen | grep -qF "Programa CREATECD não está instalado" && fail "the burner beside the program was not found"
# No key is asked for: the menu comes back by itself, without the reminder.
wait_prompt 30
screen | grep -qF "gravada com sucesso em $WORK/disco.iso." ||
  fail "the image path was not told"
screen | grep -qF "gaveta" && fail "the drawer was mentioned for an image file"
[ -s "$WORK/disco.iso" ] || fail "no image written"
xorriso -indev "$WORK/disco.iso" -pvd_info 2>/dev/null | grep -q 'Volume Id *: meu_disco' \
  || fail "label not in the image: $(xorriso -indev "$WORK/disco.iso" -pvd_info 2>&1 | grep -i volume)"
xorriso -indev "$WORK/disco.iso" -ls / 2>/dev/null | grep -qF "capítulo.txt" || fail "the text is not in the image"

# Ctrl+G: another directory, given up at the confirmation.
keys C-g
wait_for "Informe o novo diretório"
sleep 1
keys C-y "$WORK/outro" Enter
wait_for "Projeto alocado em --- $WORK/outro" 30
wait_for "Informe com as setas a velocidade"
sleep 1
keys Enter
wait_for "Informe o rótulo do CD"
keys Enter
wait_for "Deseja obter maiores informações"
keys n
wait_for "ENTER confirma - ESCAPE cancela"
sleep 1
keys Escape
wait_for "Voltei a trabalhar no diretório padrão" 30
wait_prompt 30
[ "$(program_cwd)" = "$P" ] || fail "the project directory was not restored: $(program_cwd)"
keys i
wait_for "Projeto alocado em --- $P" 30
wait_prompt
echo PASS
