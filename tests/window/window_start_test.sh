#!/bin/bash
# The program in a window as a user meets it: the greeting in its colours,
# the project prompt answered with Enter, F1's listing, Esc ending it.
. "$(dirname "$0")/window_lib.sh"
mkdir -p "$WORK/projeto"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"
settings
start_display
start_program "$BUILD/varlo"

wait_row 0 "VARLO KET - V.2.2 BETA"
# The greeting: white letters on blue, the rest of the row black.
[ "$(cells colours 0 0)" = "0,0,255 255,255,255" ] || fail "greeting cell colours: $(cells colours 0 0)"
[ "$(cells colours 0 40)" = "0,0,0 0,0,0" ] || fail "cell past the greeting: $(cells colours 0 40)"
[ "$(xdotool getwindowname "$WIN")" = "VARLO" ] || fail "title: $(xdotool getwindowname "$WIN")"
wait_row 3 "Informe o diretório de trabalho"

keys Return
wait_text "Total de arquivo(s) a converter --- 1"
keys F1
wait_text "Opções nas teclas:"
listing=$ROW
wait_text "CTRL+N  Consultar manual"
[ $((ROW - listing)) -eq 16 ] || fail "the listing is $((ROW - listing)) rows long"
wait_row 24 "Qual sua opção ? "
keys Escape
wait_end 20
[ "$STATUS" -eq 0 ] || fail "ended with status $STATUS"
echo PASS
