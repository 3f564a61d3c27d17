#!/bin/bash
# Resizing the window keeps 80 x 25 cells filling it: a window made 1920 x
# 1080 draws cells of 24 x 43 pixels, its last row at the bottom, with a
# font grown to match; made small again it goes back to its cells.
. "$(dirname "$0")/window_lib.sh"
mkdir -p "$WORK/projeto"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"
settings ""
SCREEN=2000x1200x24
start_display
start_program "$BUILD/varlo"
wait_row 3 "Informe o diretório de trabalho"

# At the screen's corner, so that a screenshot holds the whole window.
xdotool windowmove --sync "$WIN" 0 0
xdotool windowsize --sync "$WIN" 1920 1080
CELLW=24 CELLH=43
wait_row 3 "Informe o diretório de trabalho"
[ "$WIDTH" -eq 1920 ] || fail "the window is $WIDTH pixels wide"
# The greeting's blue reaches its last cell, its letters fill the cell's
# height (a glyph taller than the old 20-pixel cells).
[ "$(cells colours 0 21)" = "0,0,255 255,255,255" ] || fail "greeting: $(cells colours 0 21)"
python3 - "$WORK/shot.rgb" <<'PY' || fail "the letters did not grow with the cells"
import sys
data = open(sys.argv[1], 'rb').read()
rows = [y for y in range(0, 43) for x in range(0, 24 * 22)
        if data[(y * 1920 + x) * 3:(y * 1920 + x) * 3 + 3] == b'\xff\xff\xff']
sys.exit(0 if rows and max(rows) - min(rows) >= 24 else 1)
PY
# The last row is the window's bottom: F1's listing ends with the prompt
# there.
keys Return
wait_text "Total de arquivo(s) a converter --- 1"
keys F1
wait_row 24 "Qual sua opção ? "

xdotool windowsize --sync "$WIN" 800 500
CELLW=10 CELLH=20
wait_row 24 "Qual sua opção ? "
[ "$WIDTH" -eq 800 ] || fail "the window is $WIDTH pixels wide"
echo PASS
