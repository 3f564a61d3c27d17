#!/bin/bash
# The console in a real terminal: an 80 x 25 tmux pane runs the demo program;
# keys are typed into it and the pane is read back. The terminal must show
# accented text, decode keys, warn when it is too small, and be left in its
# normal state (echo on, normal screen) after the program ends and after it
# is ended with SIGTERM.
set -u
build=${1:?build directory}
demo="$build/tests/terminal/terminal_console_demo"
[ -x "$demo" ] || { echo "missing $demo"; exit 1; }
command -v tmux >/dev/null || { echo "tmux not installed"; exit 1; }

export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset VARLO_CONSOLE TMUX
sock="varlo-console-test-$$"
work=$(mktemp -d)
tm() { tmux -u -L "$sock" "$@"; }
trap 'tm kill-server 2>/dev/null; rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL: $*"; echo "--- pane:"; tm capture-pane -p -t t; echo "---"; failures=$((failures + 1)); }

# Wait until the pane shows the text (up to about 10 seconds); a second
# argument -x asks for a whole line.
wait_for() {
  for _ in $(seq 100); do
    tm capture-pane -p -t t | grep -qF ${2:-} -- "$1" && return 0
    sleep 0.1
  done
  return 1
}

wait_normal_screen() {
  for _ in $(seq 100); do
    [ "$(tm display -p -t t '#{alternate_on}')" = 0 ] && return 0
    sleep 0.1
  done
  return 1
}

# The terminal state as stty reports it, written by the shell of the pane.
# Each check waits for a mark of its own: an earlier check's is still on
# the screen.
checks=0
check_restored() {
  checks=$((checks + 1))
  rm -f "$work/stty"
  tm send-keys -t t "stty -a > $work/stty; echo pronto-$checks-\$((6*7))" Enter
  wait_for "pronto-$checks-42" || fail "$1: the shell did not come back"
  grep -qE '(^| )echo( |$)' "$work/stty" || fail "$1: echo is off"
  grep -qE '(^| )icanon( |$)' "$work/stty" || fail "$1: canonical mode is off"
  tm capture-pane -p -t t | grep -qF "Tecla:" && fail "$1: the alternate screen was not left"
  [ "$(tm display -p -t t '#{alternate_on}')" = 0 ] || fail "$1: still on the alternate screen"
}

tm new-session -d -s t -x 80 -y 25 "env PS1='$ ' bash --norc --noprofile"
tm set -g status off
sleep 0.3

# Normal run: accented text, line input, keys, Esc ends.
tm send-keys -t t "VARLO_DEMO_PROGRAM='stty -a > $work/stty-inside; echo externo; sleep 0.5; exit 5' $demo" Enter
wait_for "Ação: digite e tecle Enter" || fail "accented prompt not shown"
tm send-keys -t t -l "olá, pé"
tm send-keys -t t BSpace Enter
wait_for "Você digitou: olá, p" || fail "typed line not echoed back"
tm send-keys -t t F1
wait_for "Tecla: 0,59" || fail "F1"
tm send-keys -t t C-Up
wait_for "Tecla: 0,113" || fail "Ctrl+Up"
tm send-keys -t t S-IC
wait_for "Tecla: 0,254" || fail "Shift+Insert"
tm send-keys -t t M-x
wait_for "Tecla: 0,45" || fail "Alt+X"
tm send-keys -t t -l "ç"
wait_for "Tecla: 231" || fail "typed ç"
tm send-keys -t t C-c
wait_for "Tecla: 3" || fail "Ctrl+C is a key"
[ "$(tm display -p -t t '#{pane_title}')" = "Demonstração do console" ] || fail "title not set"

# Too small a terminal gets a message; the grid comes back when it grows.
tm resize-window -t t -x 60 -y 20
wait_for "Aumente o terminal" || fail "no message for a small terminal"
tm resize-window -t t -x 80 -y 25
wait_for "Tecla: 3" || fail "screen not redrawn after growing"

# An editor-like program gets the terminal in its normal state and the
# screen comes back whole.
tm send-keys -t t F2
# The typed command line holds "echo externo" too, so wait for the line alone.
wait_for "externo" -x || fail "the external program did not run"
grep -qE '(^| )echo( |$)' "$work/stty-inside" || fail "the external program got no echo"
wait_for "Tecla: 0,60 -> 5" || fail "the screen did not come back after the external program"
tm capture-pane -p -t t | grep -qF "Tecla: 0,113" || fail "earlier lines lost after the external program"

tm send-keys -t t Escape
wait_normal_screen || fail "demo did not end on Esc"
check_restored "normal end"

# Ended from outside with SIGTERM while waiting for a key.
tm send-keys -t t "$demo" Enter
wait_for "Ação: digite" || fail "second run did not start"
pid=$(pgrep -n -f "$demo")
kill -TERM "$pid"
for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not end the program"
check_restored "SIGTERM"

# A crash restores the terminal before the default action.
tm send-keys -t t "ulimit -c 0; $demo" Enter
wait_for "Ação: digite" || fail "third run did not start"
sleep 0.2
pkill -SEGV -n -f "$demo"
check_restored "SIGSEGV"

if [ "$failures" -ne 0 ]; then
  echo "$failures failed"
  exit 1
fi
echo "console tmux test passed"
