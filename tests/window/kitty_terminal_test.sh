#!/bin/bash
# The braille keyboard in a terminal that reports key releases (the kitty
# keyboard protocol), played by a script on a pseudo-terminal: found by the
# answer to the program's query, switched on with Ctrl+Alt+F11, chords typed
# as presses and releases, the mode tones heard, the protocol given back.
set -u
BUILD=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/varlo-kitty.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_RUNTIME_DIR="$WORK/run"
export VARLO_AUDIO="capture:$WORK/sound.cap" TERM=xterm-256color
unset VARLO_CONSOLE DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$WORK/projeto/ba"
chmod 700 "$XDG_RUNTIME_DIR"
fail() { echo "FAIL: $*"; exit 1; }

timeout 60 python3 "$HERE/kitty_terminal.py" "$BUILD/varlo" "$WORK" || fail "the terminal's play"
tones=$(python3 "$HERE/tones.py" "$WORK/sound.cap")
case " $tones " in
  *" 800 1600 "*"100 "*) ;;
  *) fail "mode tones heard: $tones" ;;
esac
echo PASS
