#!/bin/bash
# A low-vision user sets the colours in the settings form without editing a
# file: F9 on the colours field offers the presets, the one chosen is said
# and written, and the window turns yellow on black at once.
. "$(dirname "$0")/window_lib.sh"
mkdir -p "$WORK/projeto"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"
settings ""
start_display
start_program "$BUILD/varlo"

wait_row 4 "Pressionando ENTER usarei o padrão"
keys Return
wait_text "Qual sua opção ?" 30
keys a
wait_text "              Sintetizar pontuação :  SIM"
# The twenty-fifth field; F9 offers PADRAO, AMARELO, BRANCO.
for i in $(seq 24); do keys Down; sleep 0.2; done
wait_text "   Cores (padrão, amarelo, branco) :  PADRAO"
keys F9
sleep 1
keys Down Return
wait_text "   Cores (padrão, amarelo, branco) :  AMARELO"
[ "$(cells count 0,0,255)" -gt 0 ] || fail "the colours changed before the form ended"
keys Escape
wait_text "Cores (padrão, amarelo, branco): AMARELO" 30
wait_text "Digite uma frase ou pressione ENTER para que eu possa testar" 30
keys Escape
wait_text "Qual sua opção ?" 30
wait_colours $ROW 0 "" "0,0,0 255,255,0"
[ "$(cells count 0,0,255)" -eq 0 ] || fail "blue is still drawn"
grep -q "^PALETA=AMARELO" "$HOME/.config/murena/Murena.ini" || fail "the preset was not stored"
echo PASS
