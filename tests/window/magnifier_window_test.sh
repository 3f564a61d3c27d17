#!/bin/bash
# The magnifier at zoom 4 while the project directory is typed: the band
# lies in the lower half (the field is in the upper), holds 20 characters,
# follows the cursor one character per step past the twentieth, shows the
# cursor's character in inverse video on the user's cursor colour, and is
# gone when the field ends.
. "$(dirname "$0")/window_lib.sh"
mkdir -p "$WORK/projeto"
cd "$WORK/projeto"
settings "[BAIXAVISAO]
AMPLIACAO=4
CORLETRA=14
CORFUNDO=6
CORCURSOR=3"
start_display
start_program "$BUILD/varlo"
BAND_BG=68,34,34 YELLOW=255,255,0 CYAN=0,255,255
TEXT="a bc def ghij klmno pqrstu"

wait_text "Pressionando ENTER usarei o padrão"
xdotool type --delay 40 "$TEXT"
keys Home
band() { cells glyphs 21 4; }
# Wait for the band to show the glyphs of text $1.
wait_band() {
  local want end=$((SECONDS + 10))
  want=$(pattern "$1" | sed 's/ *$//')
  while [ $SECONDS -lt $end ]; do
    shot
    [ "$(band)" = "$want" ] && return 0
    sleep 0.2
  done
  fail "the band shows '$(band)', not the glyphs of '$1'"
}
wait_band "${TEXT:0:20}"
[ "$(cells colours 21 0 4)" = "$CYAN $BAND_BG" ] || fail "cursor character: $(cells colours 21 0 4)"
[ "$(cells colours 21 2 4)" = "$BAND_BG $YELLOW" ] || fail "text character: $(cells colours 21 2 4)"

# Up to the twentieth character the band stays; then it moves one a step.
for i in $(seq 19); do keys Right; done
wait_band "${TEXT:0:20}"
[ "$(cells colours 21 19 4)" = "$CYAN $CYAN" ] || fail "the cursor is not on the band's last cell"
keys Right
wait_band "${TEXT:1:20}"
keys Right
wait_band "${TEXT:2:20}"
[ "$(cells colours 21 19 4)" = "$CYAN $BAND_BG" ] || fail "cursor at the end: $(cells colours 21 19 4)"

# The field emptied and ended takes the default directory: the band goes.
keys ctrl+y Return
end=$((SECONDS + 10))
while shot && [ "$(cells count $BAND_BG)" -gt 0 ] && [ $SECONDS -lt $end ]; do sleep 0.2; done
[ "$(cells count $BAND_BG)" -eq 0 ] || fail "the band is still shown"
# The prompt above the field was never covered.
wait_row 3 "Informe o diretório de trabalho"
wait_row 4 "Pressionando ENTER usarei o padrão"
echo PASS
