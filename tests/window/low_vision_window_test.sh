#!/bin/bash
# What a low-vision user sees with the magnifier at zoom 4, measured from
# screenshots: the block cursor (its cell in inverse video), the band in the
# half away from the row it magnifies with the cursor's character in
# inverse video and entries from their first letter, a field scrolled past
# its end with the cursor still shown, the chosen menu entry in inverse
# video, contrast of 7:1 or more for the band, the menu and the form's
# labels, and the zoom keys, heard as they change.
. "$(dirname "$0")/window_lib.sh"
mkdir -p "$WORK/projeto"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"
settings "[BAIXAVISAO]
AMPLIACAO=4"
export VARLO_AUDIO="capture:$WORK/sound.cap"
start_display
start_program "$BUILD/varlo"
BAND_BG=68,34,34 YELLOW=255,255,0 WHITE=255,255,255 BLACK=0,0,0 MAGENTA=142,0,142

# At least 7:1 between the colours of a cell (zoom: a band cell).
contrasted() {
  local ratio
  ratio=$(cells contrast "$@")
  python3 -c "import sys; sys.exit(0 if $ratio >= 7 else 1)" || fail "contrast $ratio:1 at $*"
}

wait_row 3 "Informe o diretório de trabalho"
TEXT="a bc def"
xdotool type --delay 40 "$TEXT"
wait_text "$TEXT"
FIELD=$ROW
[ "$FIELD" -lt 12 ] || fail "the field is not in the upper half (row $FIELD)"
# The band in the lower half (rows 21-24); the cursor past the text's end a
# block there and in the field.
wait_colours 21 8 4 "$YELLOW $YELLOW"
[ "$(cells colours 0 10 4)" != "$BAND_BG $BAND_BG" ] || fail "the band covers the upper half"
[ "$(cells block $FIELD $WHITE)" = 8 ] || fail "block cursor after the text: '$(cells block $FIELD $WHITE)'"
keys Home
# On a character: the cell in inverse video, in the field and in the band.
wait_colours 21 0 4 "$YELLOW $BAND_BG"
[ "$(cells colours $FIELD 0)" = "$WHITE $BLACK" ] || fail "block cursor on a letter: $(cells colours $FIELD 0)"
[ "$(cells colours 21 2 4)" = "$BAND_BG $YELLOW" ] || fail "band text: $(cells colours 21 2 4)"
contrasted 21 0 4
contrasted 21 2 4

# A text longer than the field scrolls it; at its end the cursor is still
# a block after the last character, and the band's last cell is the cursor.
keys End
xdotool type --delay 10 "$(printf 'x%.0s' $(seq 90))"
wait_colours 21 19 4 "$YELLOW $YELLOW"
[ "$(cells glyphs 21 4)" = "$(pattern "$(printf 'x%.0s' $(seq 19))")" ] || fail "band: $(cells glyphs 21 4)"
shot
[ "$(cells block $FIELD $WHITE)" = 79 ] && [ "$(cells glyphs $FIELD)" = "$(printf 'x%.0s' $(seq 79))" ] \
  || fail "no block cursor after the scrolled text: '$(cells block $FIELD $WHITE)' '$(cells glyphs $FIELD)'"

# The arrow menu: the chosen entry in inverse video, the others white on
# magenta, both 7:1 or more; the band shows the entry from its letter.
keys ctrl+y Return
wait_text "Qual sua opção ?" 30
wait_caret $ROW 17
keys Down
wait_text "  G   Gerar CD"
MENU=$ROW
wait_colours $MENU 2 "" "$WHITE $MAGENTA"
[ "$(cells colours $((MENU + 1)) 2)" = "$MAGENTA $WHITE" ] || fail "menu entry: $(cells colours $((MENU + 1)) 2)"
contrasted $MENU 2
contrasted $((MENU + 1)) 2
[ "$(cells glyphs 21 4)" = "$(pattern "G   Gerar CD")" ] || fail "band of the entry: $(cells glyphs 21 4)"
keys Down
wait_colours $((MENU + 1)) 2 "" "$WHITE $MAGENTA"
[ "$(cells colours $MENU 2)" = "$MAGENTA $WHITE" ] || fail "the entry left: $(cells colours $MENU 2)"
keys Escape

# The settings form: labels white on maroon (7:1 or more); its first field
# in the upper half puts the band at the bottom, a field in the lower half
# puts it at the top.
keys a
wait_text "              Sintetizar pontuação :  SIM"
LABEL=$ROW
[ "$(cells colours $LABEL 14)" = "$BAND_BG $WHITE" ] || fail "label: $(cells colours $LABEL 14)"
contrasted $LABEL 14
wait_colours 21 10 4 "$BAND_BG $BAND_BG"
for i in $(seq $((22 - LABEL))); do keys Down; sleep 0.3; done
wait_colours 0 10 4 "$BAND_BG $BAND_BG"
[ "$(cells colours 21 10 4)" != "$BAND_BG $BAND_BG" ] || fail "the band is still at the bottom"
[ "$(cells colours 22 38)" = "$YELLOW $BLACK" ] || fail "the field at row 22 is hidden: $(cells colours 22 38)"

# Ctrl+Shift+plus: zoom 5, the band one row taller, said while the field
# waits for a key; Ctrl+Shift+minus back.
quiet() {
  local size=-1 end=$((SECONDS + 20))
  while [ "$size" != "$(stat -c %s "$WORK/sound.cap")" ] && [ $SECONDS -lt $end ]; do
    size=$(stat -c %s "$WORK/sound.cap")
    sleep 1
  done
}
quiet
said=$(stat -c %s "$WORK/sound.cap")
keys ctrl+shift+equal
wait_colours 0 10 5 "$BAND_BG $BAND_BG"
quiet
[ "$(stat -c %s "$WORK/sound.cap")" -gt "$said" ] || fail "the new zoom was not said"
[ "$(cells colours 4 70)" = "$BAND_BG $BAND_BG" ] || fail "the band is not five rows tall"
keys ctrl+shift+minus
wait_colours 4 70 "" "$BLACK $BLACK"
echo PASS
