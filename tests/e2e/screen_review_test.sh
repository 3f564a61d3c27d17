#!/bin/bash
# Screen review as a user meets it in a real terminal: F9 at the menu and
# Alt+Ctrl+F9 in the directory field and the arrow menu; the beeps and
# clicks are counted in the captured sound, positions read from the
# terminal's cursor, and Ctrl+C's copy read back from tmux's buffer (and from
# xclip under Xvfb when both are installed).
. "$(dirname "$0")/tmux_lib.sh"
CAPTURE="$WORK/sound.cap"

cursor() { tmux -S "$SOCKET" display -p -t e2e:main '#{cursor_x},#{cursor_y}'; }
settle() { sleep 1.5; }
# The leaving beeps are heard before the screen is drawn again: give the
# cursor a few seconds to come back to $1.
wait_cursor() {
  local i=0
  while [ $i -lt 50 ]; do
    [ "$(cursor)" = "$1" ] && return 0
    sleep 0.1; i=$((i + 1))
  done
  fail "$2: $(cursor), was $1"
}

# Alt+Ctrl+F9 where the user is: enter (a beep), read the row above, leave
# (two beeps), and the cursor is back where it was (else fail with $1).
review_here() {
  local at beeps
  at=$(cursor)
  beeps=$(sounds beep)
  keys C-M-F9
  wait_sound beep $((beeps + 1))
  keys Up
  settle
  keys Escape
  wait_sound beep $((beeps + 3))
  wait_cursor "$at" "$1"
}

P="$WORK/projeto"
mkdir -p "$P"
printf 'Bom dia.\n' > "$P/texto.txt"
cd "$P"
start main "VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
tmux -S "$SOCKET" set -s set-clipboard on

# The directory field: review, Esc, and the field as it was.
wait_for "Pressionando ENTER"
settle
keys Left Left
settle
review_here "the field's cursor moved"
keys Enter
wait_for "OK, irei trabalhar em : $P"
wait_prompt

# F1, then F9 at the menu.
keys F1
wait_for "CTRL+N" 120
wait_prompt
settle
prompt_cursor=$(cursor)
beeps=$(sounds beep)
keys F9
wait_sound beep $((beeps + 1))
keys Up
settle
keys t l
settle
keys F6 1 2 0 5
settle
[ "$(cursor)" = "4,11" ] || fail "F6 1205 did not go to row 12, column 5: $(cursor)"
keys C-k
settle
clicks=$(sounds click)
keys Home F5 C o n s u l t a r Enter   # on row 24, below the review cursor
wait_sound click $((clicks + 1))
beeps=$(sounds beep)
keys F5 n a d a x y z Enter
wait_sound beep $((beeps + 2))

keys C-c
settle
tmux -S "$SOCKET" show-buffer > "$WORK/copied" || fail "Ctrl+C left no tmux buffer"
python3 - "$WORK/copied" <<'PY' || fail "the copy is not 25 lines of 80 characters"
import sys
lines = open(sys.argv[1], encoding="utf-8", newline="").read().split("\r\n")
assert lines[-1] == "" and len(lines) == 26, len(lines)
assert all(len(l) == 80 for l in lines[:-1]), [len(l) for l in lines]
PY

beeps=$(sounds beep)
keys Escape
wait_sound beep $((beeps + 2))
wait_cursor "$prompt_cursor" "the cursor is not back at the prompt"

# The next key works at the menu: the arrow menu opens, and the entry chosen
# before a review there is still the one chosen after it.
wait_prompt
settle
keys Down
settle
for i in 1 2 3 4 5; do keys Down; sleep 0.3; done   # entry 6: list the selection
settle
beeps=$(sounds beep)
keys C-M-F9
wait_sound beep $((beeps + 1))
keys Escape
wait_sound beep $((beeps + 3))
settle
keys Enter
wait_for "texto.txt"
wait_prompt

# The settings form: review from a field, and the form goes on in that field.
keys a
wait_for "Linhas por arquivo" 30
settle
review_here "the form's cursor moved"
keys Escape
wait_for "Digite uma frase" 60
keys Escape
wait_for "OK, ajustado" 60
wait_prompt
keys Escape   # one copy of the program at a time
wait_for PROGRAMA-ENCERRADO

# The desktop clipboard: xclip under a private Xvfb, when both are installed.
if command -v xclip >/dev/null && command -v Xvfb >/dev/null; then
  Xvfb :57 -nolisten tcp >/dev/null 2>&1 &
  XPID=$!
  trap 'kill $XPID 2>/dev/null; cleanup' EXIT
  for i in $(seq 50); do DISPLAY=:57 xclip -o -selection clipboard >/dev/null 2>&1; [ -e /tmp/.X11-unix/X57 ] && break; sleep 0.1; done
  WINDOW=x start x "DISPLAY=:57 VARLO_AUDIO=null $BUILD/varlo; sleep 60"
  WINDOW=x wait_for "Pressionando ENTER"
  WINDOW=x keys Enter
  WINDOW=x wait_prompt
  WINDOW=x keys F9
  sleep 1
  WINDOW=x keys C-c
  sleep 2
  DISPLAY=:57 xclip -o -selection clipboard > "$WORK/xcopied" || WINDOW=x fail "xclip holds nothing"
  python3 - "$WORK/xcopied" <<'PY' || WINDOW=x fail "xclip does not hold 25 lines of 80 characters"
import sys
lines = open(sys.argv[1], encoding="utf-8", newline="").read().split("\r\n")
assert len(lines) == 26 and all(len(l) == 80 for l in lines[:-1]), [len(l) for l in lines]
PY
  # Paste in a field brings text copied by another program.
  WINDOW=x keys Escape
  sleep 1
  printf 'colado-de-fora' | DISPLAY=:57 xclip -selection clipboard
  WINDOW=x wait_prompt
  WINDOW=x keys C-g
  WINDOW=x wait_for "Informe o novo diret" 30
  sleep 1
  WINDOW=x keys S-IC
  WINDOW=x wait_for "colado-de-fora"
  WINDOW=x keys Escape
  WINDOW=x wait_prompt
else
  echo "xclip or Xvfb missing: the desktop clipboard part is skipped"
fi
echo PASS
