# Shared steps of the window tests: a private Xvfb on a display number it
# picks itself, the program in a window of 10 x 20 pixel cells, screenshots
# read cell by cell, keys sent with xdotool.
set -u
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=$(mktemp -d /tmp/varlo-window.XXXXXX)
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_RUNTIME_DIR="$WORK/run"
export XDG_DATA_HOME="$WORK/home/.local/share"
export VARLO_AUDIO=${VARLO_AUDIO:-null} VARLO_CONSOLE=window
mkdir -p "$HOME/.config/murena" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
CELLW=10 CELLH=20 WIDTH=800
XPID= BUSPID= PROGRAM= WIN=

# The program ends before its display and its bus do.
cleanup() {
  [ -n "$PROGRAM" ] && kill "$PROGRAM" 2>/dev/null && wait "$PROGRAM" 2>/dev/null
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null && wait "$XPID" 2>/dev/null
  [ -n "$BUSPID" ] && kill "$BUSPID" 2>/dev/null && wait "$BUSPID" 2>/dev/null
  [ -n "${KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; [ -f "$WORK/out" ] && tail -5 "$WORK/out"; exit 1; }

for tool in Xvfb xdotool import python3 dbus-daemon; do
  command -v $tool >/dev/null || fail "$tool is not installed"
done

# The settings file: the cell size, a normal window, and what the test adds.
settings() {
  printf '[VIDEO]\nLARGURALETRA=%s\nALTURALETRA=%s\nCANTOTELA=NAO\n%s\n' \
    $CELLW $CELLH "$*" > "$HOME/.config/murena/Murena.ini"
}

# The screen is 1280 x 1024 unless SCREEN gives another (WxHxDEPTH).
# A message bus of the test's own, as both the session and the system bus:
# SDL connects to them when the window opens, and what it meets must not
# depend on this machine (no bus, its own system bus, or a bus left over by
# another test). With no session bus at all, libdbus would try to start one
# for the display through dbus-launch.
start_bus() {
  dbus-daemon --session --address="unix:path=$WORK/bus" --nofork --print-address=3 \
    3> "$WORK/bus.address" > "$WORK/bus.log" 2>&1 &
  BUSPID=$!
  local i=0
  while [ ! -s "$WORK/bus.address" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  [ -s "$WORK/bus.address" ] || fail "dbus-daemon did not start: $(cat "$WORK/bus.log")"
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$WORK/bus.address")
  export DBUS_SESSION_BUS_ADDRESS DBUS_SYSTEM_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS
}

start_display() {
  start_bus
  exec 9> "$WORK/display"
  Xvfb -displayfd 9 -screen 0 "${SCREEN:-1280x1024x24}" -nolisten tcp > "$WORK/xvfb.log" 2>&1 &
  XPID=$!
  exec 9>&-
  local i=0
  while [ ! -s "$WORK/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  [ -s "$WORK/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$WORK/display")"
}

# Start the program (arguments: its command line) and wait for its window
# to be shown: a window that exists but is not yet mapped cannot be
# photographed, and a slow start (under the sanitizers) leaves that gap.
start_program() {
  "$@" < /dev/null > "$WORK/out" 2>&1 &
  PROGRAM=$!
  local i=0
  while [ $i -lt 200 ]; do
    WIN=$(xdotool search --onlyvisible --pid $PROGRAM --name . 2>/dev/null | head -n1)
    [ -n "$WIN" ] && break
    sleep 0.1; i=$((i + 1))
  done
  [ -n "$WIN" ] || fail "no window appeared"
  xdotool windowfocus --sync "$WIN" 2>/dev/null
}

# A screenshot of the window; a failed one is tried again, since a window
# being redrawn or re-mapped can refuse one photograph. The program's window
# is looked for again before each new try: the one found at its start may
# not be the one it shows now.
shot() {
  local try found
  for try in 1 2 3 4 5; do
    kill -0 "$PROGRAM" 2>/dev/null || fail "the program has ended"
    timeout 10 import -window "$WIN" "$WORK/shot.png" 2> "$WORK/import.err" && break
    [ $try -eq 5 ] && fail "no screenshot: $(cat "$WORK/import.err")"
    sleep 0.3
    found=$(xdotool search --onlyvisible --pid "$PROGRAM" --name . 2>/dev/null | head -n1)
    [ -n "$found" ] && WIN=$found
  done
  convert "$WORK/shot.png" -depth 8 "rgb:$WORK/shot.rgb"
  WIDTH=$(identify -format '%w' "$WORK/shot.png")
}

cells() { python3 "$HERE/cells.py" "$WORK/shot.rgb" "$WIDTH" $CELLW $CELLH "$@"; }

# The glyph pattern of a text: x for each character that is not a space.
pattern() { printf '%s' "$1" | sed 's/[^ ]/x/g'; }

# Wait up to $3 seconds (default 20) until row $1 shows the glyphs of text
# $2 from its first column. Spaces that end the text are not compared: the
# block cursor may stand on the first of them as one plain cell.
wait_row() {
  local want end=$((SECONDS + ${3:-20}))
  want=$(pattern "$2" | sed 's/ *$//')
  while [ $SECONDS -lt $end ]; do
    shot
    [ "$(cells glyphs "$1" | cut -c1-${#want})" = "$want" ] && return 0
    sleep 0.2
  done
  fail "row $1 is '$(cells glyphs "$1")', not the glyphs of '$2'"
}

# Wait up to $2 seconds (default 20) until some row shows exactly the
# glyphs of text $1 (the row ends with it); its number in ROW.
wait_text() {
  local want end=$((SECONDS + ${2:-20}))
  want=$(pattern "$1")
  while [ $SECONDS -lt $end ]; do
    shot
    ROW=$(cells screen | grep -n -x -F -- "$want" | head -n1 | cut -d: -f1)
    [ -n "$ROW" ] && { ROW=$((ROW - 1)); return 0; }
    sleep 0.2
  done
  fail "no row shows the glyphs of '$1'"
}

# The row of the last screenshot that shows exactly the glyphs of text $1,
# empty when none does.
row_of() {
  local row
  row=$(cells screen | grep -n -x -F -- "$(pattern "$1")" | head -n1 | cut -d: -f1)
  [ -n "$row" ] && echo $((row - 1))
}

# Wait up to 10 seconds until cell $1 $2 (zoom $3, "" for none) has the
# colours $4 ("background foreground").
wait_colours() {
  local end=$((SECONDS + 10))
  while [ $SECONDS -lt $end ]; do
    shot
    [ "$(cells colours $1 $2 $3)" = "$4" ] && return 0
    sleep 0.2
  done
  fail "cell $1 $2 (zoom $3) is $(cells colours $1 $2 $3), not $4"
}

# Wait up to 10 seconds until the block cursor (a cell wholly in the text
# colour $3, white by default) stands at row $1, column $2.
wait_caret() {
  local end=$((SECONDS + 10))
  while [ $SECONDS -lt $end ]; do
    shot
    [[ " $(cells block $1 ${3:-255,255,255}) " == *" $2 "* ]] && return 0
    sleep 0.2
  done
  fail "no block cursor at row $1, column $2"
}

keys() { xdotool key --delay 30 "$@"; }

# Wait up to $1 seconds for the program to end; its status in STATUS.
wait_end() {
  local i=0
  while kill -0 $PROGRAM 2>/dev/null && [ $i -lt $(($1 * 10)) ]; do sleep 0.1; i=$((i + 1)); done
  kill -0 $PROGRAM 2>/dev/null && fail "the program did not end"
  wait $PROGRAM; STATUS=$?
  PROGRAM=
}
