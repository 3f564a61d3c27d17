#!/bin/bash
# The braille keyboard in a window, chords sent as key presses and releases:
# in mode 2 the capital sign and dot 1 type "A", the number sign and dots 1,
# 1-2 type "12"; Ctrl+Shift+F11 goes to mode 1, where dots 3-4-5-6 type "#";
# Space with dots 1-2 (Ctrl+B) ends the field. The mode tones are heard.
. "$(dirname "$0")/window_lib.sh"
mkdir -p "$WORK/projeto/A12  #"
cd "$WORK/projeto"
export VARLO_AUDIO="capture:$WORK/sound.cap"
settings "[BRAILLE]
MODO=2"
start_display
start_program "$BUILD/varlo"

# Keys pressed together, then released.
chord() {
  local k down=() up=()
  for k in "$@"; do down+=(keydown "$k"); up+=(keyup "$k"); done
  xdotool "${down[@]}" sleep 0.05 "${up[@]}" sleep 0.05
}

wait_text "Pressionando ENTER usarei o padrão"
sleep 1
chord j l           # capital sign
chord f             # A
chord s j k l       # number sign
chord f             # 1
chord f d           # 2
# Other letters do not type themselves while a mode is on: each released
# alone is the empty cell, a space.
xdotool type --delay 30 "xy"
keys ctrl+shift+F11   # Ctrl+Alt+F11 where the desktop lets it through
chord s j k l       # mode 1: "#"
chord space f d     # Ctrl+B ends the field
wait_text "OK, irei trabalhar em : $WORK/projeto/A12  #" 30

tones=$(python3 "$HERE/tones.py" "$WORK/sound.cap")
case " $tones " in
  *" 800 400 "*"800 1600 "*) ;;
  *) fail "mode tones heard: $tones" ;;
esac
echo PASS
