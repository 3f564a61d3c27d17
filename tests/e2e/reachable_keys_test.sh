#!/bin/bash
# Keys a user must be able to reach and hear: Ctrl+Shift+F9 opens screen
# review in a field and at the menu (Alt+Ctrl+F9 is taken by Linux and the
# desktops); a search found in review reads its line; Ctrl+C in review says
# it copied; Home in a field says the character it reached; Esc stops F1's
# listing. What is said is measured in the captured sound.
. "$(dirname "$0")/tmux_lib.sh"
CAPTURE="$WORK/sound.cap"
P="$WORK/projeto"
mkdir -p "$P"
printf 'Bom dia.\n' > "$P/texto.txt"
cd "$P"
start main "VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
tmux -S "$SOCKET" set -s set-clipboard on

# The directory field: Home is heard; Ctrl+Shift+F9 enters review (a beep)
# and Esc leaves it (two beeps) with the field still being edited.
wait_for "Pressionando ENTER"
wait_quiet
before=$(captured)
keys Home
wait_heard 0 "$before" 5 "Home in the field said nothing"
wait_quiet
beeps=$(sounds beep)
keys C-S-F9
wait_sound beep $((beeps + 1))
keys Escape
wait_sound beep $((beeps + 3))
screen | grep -qF "OK, irei trabalhar" && fail "the field ended instead of opening the review"
keys Enter
wait_for "OK, irei trabalhar em : $P"
wait_prompt

# Esc while F1's listing is said ends it: its last lines never come, and the
# Esc does not end the program.
keys F1
wait_for "Opções nas teclas:" 30
keys Escape
wait_prompt 30
screen | grep -qF "CTRL+N  Consultar manual" && fail "Esc did not stop the F1 listing"
screen | grep -qF "Fim do programa" && fail "the Esc of the listing ended the program"

# Review from the menu with Ctrl+Shift+F9: F5 finds a line above and reads
# it (more than the found click), Ctrl+C says "copiado".
wait_quiet
beeps=$(sounds beep)
keys C-S-F9
wait_sound beep $((beeps + 1))
keys F6 0 1 0 1
sleep 1
wait_quiet
clicks=$(sounds click)
before=$(captured)
keys F5 i r e i Enter
wait_sound click $((clicks + 1))
wait_heard 20000 "$before" 10 "the found line was not read"
wait_quiet
before=$(captured)
keys C-c
wait_heard 3000 "$before" 5 "Ctrl+C did not say it copied"
tmux -S "$SOCKET" show-buffer | grep -qF "OK, irei trabalhar" || fail "the screen was not copied"
beeps=$(sounds beep)
keys Escape
wait_sound beep $((beeps + 2))
wait_prompt
keys Escape
wait_for PROGRAMA-ENCERRADO
echo PASS
