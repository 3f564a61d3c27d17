#!/bin/bash
# Start-up time of the program with and without a braille display: the time
# from launch until the project directory prompt is on the screen, in an
# 80 x 25 tmux pane, with BRLAPI_HOST naming a loopback port where nothing
# listens, then a BRLTTY serving BrlAPI there (TTY driver on a
# pseudo-terminal, 40 cells).
#   bench/braille_startup.sh [BUILD_DIR] [RUNS]
# Prints the median and the slowest run of each, in milliseconds.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-7}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pty_pid= brltty_pid=
finish() {
  tmux -S "$work/tmux" kill-server 2>/dev/null || true
  [ -n "$brltty_pid" ] && kill "$brltty_pid" 2>/dev/null
  [ -n "$pty_pid" ] && kill "$pty_pid" 2>/dev/null
  sleep 0.3
  rm -rf "$work"
}
trap finish EXIT
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$work/projeto" "$work/brltty"

# One launch: milliseconds until the prompt shows.
launch() {
  local start now
  rm -rf "$work/home" "$work/run"; mkdir -p "$work/home" "$work/run"; chmod 700 "$work/run"
  start=$(date +%s%N)
  tmux -S "$work/tmux" -f /dev/null new-session -d -s b -x 80 -y 25 \
    "cd $work/projeto && HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run VARLO_AUDIO=null BRLAPI_HOST=127.0.0.1:$port $build/varlo; sleep 10"
  until tmux -S "$work/tmux" capture-pane -p -t b 2>/dev/null | grep -qF "Pressionando ENTER"; do
    [ $((($(date +%s%N) - start) / 1000000000)) -lt 30 ] || { echo "the prompt did not show" >&2; exit 1; }
    sleep 0.005
  done
  now=$(date +%s%N)
  tmux -S "$work/tmux" kill-server
  sleep 0.3
  echo $(((now - start) / 1000000))
}
summary() {
  sort -n | awk -v name="$1" '{ v[NR] = $1 } END { printf "%-28s median %4d ms  slowest %4d ms  (%d runs)\n", name, v[int((NR + 1) / 2)], v[NR], NR }'
}

for _ in $(seq "$runs"); do launch; done | summary "no BRLTTY"

python3 "$here/../tests/braille/braille_pty.py" serve "$work/pty.log" "$work/pty.keys" > "$work/pty.name" &
pty_pid=$!
until [ -s "$work/pty.name" ]; do sleep 0.05; done
brltty -n -q -e -b tt -d "serial:$(head -n 1 "$work/pty.name")" -B lines=1,columns=40,term=vt100 \
  -A "auth=none,host=127.0.0.1:$port" -x no -s no -f /dev/null \
  -P "$work/brltty/pid" -W "$work/brltty" -U "$work/brltty" -F "$work/brltty/prefs" > "$work/brltty.out" 2>&1 &
brltty_pid=$!
until [ -s "$work/pty.log" ]; do sleep 0.05; done
for _ in $(seq "$runs"); do launch; done | summary "BRLTTY with a 40-cell display"
