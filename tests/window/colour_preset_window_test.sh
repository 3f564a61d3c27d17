#!/bin/bash
# The yellow-on-black preset with a cursor a quarter of the cell high:
# every cell yellow on black (the prompt's blue bar too), the chosen menu
# entry and the cursor black on yellow, the cursor only in the cell's lower
# quarter.
. "$(dirname "$0")/window_lib.sh"
mkdir -p "$WORK/projeto"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"
settings "PALETA=amarelo
ESPESSURACURSOR=25"
start_display
start_program "$BUILD/varlo"
YELLOW=255,255,0 BLACK=0,0,0

wait_row 0 "VARLO KET - V.2.2 BETA"
[ "$(cells colours 0 0)" = "$BLACK $YELLOW" ] || fail "greeting: $(cells colours 0 0)"
[ "$(cells count 0,0,255)" -eq 0 ] || fail "blue is still drawn"
wait_row 3 "Informe o diretório de trabalho"
xdotool type --delay 40 "abc"
wait_text "abc_"   # the thin cursor makes its cell a glyph
# The cursor after the text: black above, yellow in its lower 5 of 20 rows.
end=$((SECONDS + 10))
while shot && [ "$(cells pixel 35 $((ROW * 20 + 17)))" != "$YELLOW" ] && [ $SECONDS -lt $end ]; do sleep 0.2; done
[ "$(cells pixel 35 $((ROW * 20 + 17)))" = "$YELLOW" ] || fail "no cursor in the lower quarter"
[ "$(cells pixel 35 $((ROW * 20 + 14)))" = "$BLACK" ] || fail "the cursor is taller than a quarter"
[ "$(cells pixel 35 $((ROW * 20 + 2)))" = "$BLACK" ] || fail "the cursor is taller than a quarter"

keys ctrl+y Return
wait_text "Qual sua opção ? _" 30
keys Down
# The second entry (the first has the cursor after it).
wait_text "  C   Converter para audio"
wait_colours $((ROW - 1)) 2 "" "$YELLOW $BLACK"
[ "$(cells colours $ROW 2)" = "$BLACK $YELLOW" ] || fail "other entry: $(cells colours $ROW 2)"
echo PASS
