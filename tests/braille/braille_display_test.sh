#!/bin/bash
# The braille display as a deafblind user meets it, on BRLTTY's TTY driver
# drawing a 40-cell display onto a pseudo-terminal this test reads: the
# greeting, a field and the menu prompt arrive in Portuguese braille as
# liblouis translates them, the cursor's dots follow the cursor, the
# display's panning keys move along a long row, and BRLTTY stopped and
# started again while the program runs is let go and taken back.
. "$(dirname "$0")/../e2e/tmux_lib.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
TABLE=pt-pt-g1.utb
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$WORK/projeto" "$WORK/brltty"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
touch "$WORK/pty.log" "$WORK/pty.keys"

PTY_PID= BRLTTY_PID=
stop_brltty() {
  [ -n "$BRLTTY_PID" ] || return 0
  kill "$BRLTTY_PID" 2>/dev/null
  for _ in $(seq 50); do kill -0 "$BRLTTY_PID" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$BRLTTY_PID" 2>/dev/null
  BRLTTY_PID=
}
finish() {
  stop_brltty
  [ -n "$PTY_PID" ] && kill "$PTY_PID" 2>/dev/null
  cleanup
}
trap finish EXIT

python3 "$HERE/braille_pty.py" serve "$WORK/pty.log" "$WORK/pty.keys" > "$WORK/pty.name" &
PTY_PID=$!
for _ in $(seq 50); do [ -s "$WORK/pty.name" ] && break; sleep 0.1; done
PTY=$(head -n 1 "$WORK/pty.name")
[ -c "$PTY" ] || fail "no pseudo-terminal"

# BRLTTY in the foreground with its own pid file, directories and settings;
# the API on loopback only.
start_brltty() {
  brltty -n -q -e -b tt -d "serial:$PTY" -B lines=1,columns=40,term=vt100 \
    -A "auth=none,host=127.0.0.1:$PORT" -x no -s no -f /dev/null \
    -P "$WORK/brltty/pid" -W "$WORK/brltty" -U "$WORK/brltty" -F "$WORK/brltty/prefs" \
    >> "$WORK/brltty.out" 2>&1 &
  BRLTTY_PID=$!
}
frames() { python3 "$HERE/braille_pty.py" frames "$WORK/pty.log"; }
cells_of() { printf '%s' "$1" | lou_translate --forward "unicode.dis,$TABLE"; }
# Wait up to $3 seconds (default 10) for a drawing whose cells are those of
# text $1 (at most the 40 shown) and whose cursor is $2 (a cell, or "" for
# none, or "*" for any).
wait_frame() {
  local cells cursor=$2 limit=${3:-10} i=0
  cells=$(cells_of "$1")
  cells=${cells:0:40}
  while [ $i -lt $((limit * 10)) ]; do
    frames | awk -F '\t' -v c="$cells" -v k="$cursor" \
      '$2 == c && (k == "*" || $3 == k) { found = 1 } END { exit !found }' && return 0
    sleep 0.1; i=$((i + 1))
  done
  echo "--- drawings:"; frames | tail -n 8
  fail "the display did not show '$1' with the cursor at '$cursor'"
}
last_frame() { frames | tail -n 1; }

start_brltty
for _ in $(seq 50); do [ -s "$WORK/pty.log" ] && break; sleep 0.1; done
cd "$WORK/projeto"
start main "BRLAPI_HOST=127.0.0.1:$PORT $BUILD/varlo 2> $WORK/varlo.err; echo \$? > $WORK/varlo.status; sleep 30"
wait_for "diretório"
wait_frame "VARLO KET - V.2.2 BETA" "*"
# The directory field: its text, the cursor on its first character, then
# at its end.
dir="$WORK/projeto"
wait_frame "$dir" 0
keys End
n=$(cells_of "$dir"); n=${#n}
wait_frame "$dir" "$n"
keys Home
wait_frame "$dir" 0

# BRLTTY goes away: the program goes on talking and editing; when it comes
# back the display shows the row as it is now.
stop_brltty
keys End
sleep 1
keys Home Right
: > "$WORK/pty.log"
start_brltty
# The cursor on the second character: after the cells of the first.
first=$(cells_of "${dir:0:1}")
wait_frame "$dir" "${#first}" 10
sleep 0.5
[ ! -e "$WORK/varlo.status" ] || fail "the program ended with BRLTTY: status $(cat "$WORK/varlo.status"), $(cat "$WORK/varlo.err")"

# A row longer than the display (the field with sixty letters typed before
# the directory): the window follows the cursor, and the display's panning
# keys go back and forth.
long=$(printf 'abcdefghij%.0s' 1 2 3 4 5 6)
keys Home
keys -l "$long"
row=$(cells_of "$long${dir:0:20}")
shown() { frames | tail -n 1 | cut -f 2; }
wait_shown() {
  for _ in $(seq 100); do [ "$(shown)" = "$1" ] && return 0; sleep 0.1; done
  fail "$2: $(frames | tail -n 1)"
}
wait_shown "${row:40:40}" "the window did not follow the cursor past the 40th cell"
# A panning key ($1, as the driver's terminal sends it) shows cells $2. One
# key in a few runs never reaches the program through the driver's line
# (why is not known): a second press is allowed, as a reader would give it.
pan() {
  local try
  for try in 1 2; do
    printf '%b' "$1" >> "$WORK/pty.keys"
    for _ in $(seq 50); do [ "$(shown)" = "$2" ] && return 0; sleep 0.1; done
    echo "a panning key had no effect in 5 s (press $try)"
  done
  fail "$3: $(frames | tail -n 1)"
}
pan '\033OD' "${row:0:40}" "the left panning key did not show the start of the row"
pan '\033OC' "${row:40:40}" "the right panning key did not come back"
for _ in $(seq 60); do keys BSpace; done
wait_frame "$dir" 0

# On to the menu prompt, shown with the cursor just after it.
keys Enter
wait_prompt
prompt="Qual sua opção ?"
p=$(cells_of "$prompt"); p=${#p}
wait_frame "$prompt" "$((p + 1))"
echo "menu prompt on the display: $(frames | awk -F '\t' -v c="$(cells_of "$prompt")" '$2 == c' | tail -n 1)"

[ ! -s "$WORK/varlo.err" ] || fail "the program wrote errors: $(cat "$WORK/varlo.err")"
echo PASS
