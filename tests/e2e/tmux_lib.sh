# Shared steps of the end-to-end tests: run the program in an 80 x 25 tmux
# pane of a private tmux server, type keys, wait for texts on the screen.
set -u
BUILD=$(cd "$1" && pwd)
WORK=$(mktemp -d /tmp/varlo-e2e.XXXXXX)
SOCKET="$WORK/tmux.sock"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_RUNTIME_DIR="$WORK/run"
export XDG_DATA_HOME="$WORK/home/.local/share"
export VARLO_AUDIO=${VARLO_AUDIO:-null}
unset VARLO_CONSOLE
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# The programs end with their tmux server. One that outlives it is stopped
# with its pane's process group, so that no stray process keeps a core
# busy: a sanitizer build can hang for good in its exit-time leak check
# when the hangup's SIGCONT takes away the stop that check waits for.
cleanup() {
  local panes pid
  panes=$(tmux -S "$SOCKET" list-panes -a -F '#{pane_pid}' 2>/dev/null)
  tmux -S "$SOCKET" kill-server 2>/dev/null
  for pid in $panes; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 -- "-$pid" 2>/dev/null
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; echo "--- screen:"; screen; exit 1; }

# Start a command in a new window of the private server (window name $1).
start() {
  local name=$1; shift
  if tmux -S "$SOCKET" has-session 2>/dev/null; then
    tmux -S "$SOCKET" new-window -d -n "$name" "$*"
  else
    tmux -S "$SOCKET" -f /dev/null new-session -d -s e2e -n "$name" -x 80 -y 25 "$*"
  fi
}

screen() { tmux -S "$SOCKET" capture-pane -p -t "e2e:${WINDOW:-main}" 2>/dev/null; }
keys() { tmux -S "$SOCKET" send-keys -t "e2e:${WINDOW:-main}" "$@"; }

# Wait up to $2 seconds (default 20) for text $1 on the screen.
wait_for() {
  local text=$1 limit=${2:-20} i=0
  while [ $i -lt $((limit * 10)) ]; do
    screen | grep -qF -- "$text" && return 0
    sleep 0.1; i=$((i + 1))
  done
  fail "did not see '$text'"
}

# Wait up to $3 seconds (default 60) until text $1 shows $2 times or more.
wait_count() {
  local text=$1 count=$2 limit=${3:-60} i=0
  while [ $i -lt $((limit * 10)) ]; do
    [ "$(screen | grep -cF -- "$text")" -ge "$count" ] && return 0
    sleep 0.1; i=$((i + 1))
  done
  fail "did not see '$text' $count times"
}

# Wait up to $2 seconds (default 90) until the last line written is $1:
# the program asks it and waits.
wait_last() {
  local text=$1 limit=${2:-90} i=0
  while [ $i -lt $((limit * 10)) ]; do
    [ "$(screen | grep -v '^ *$' | tail -n 1 | sed 's/ *$//')" = "$text" ] && return 0
    sleep 0.1; i=$((i + 1))
  done
  fail "the program did not come to ask '$text'"
}

# The menu prompt is the last line: the option before it has ended.
wait_prompt() { wait_last "Qual sua opção ?" "${1:-90}"; }

# The current directory of the varlo running in the window.
program_cwd() {
  local shell pid
  shell=$(tmux -S "$SOCKET" list-panes -t "e2e:${WINDOW:-main}" -F '#{pane_pid}' 2>/dev/null)
  pid=$(pgrep -P "$shell" -x varlo | head -n 1)
  [ -n "$pid" ] && readlink "/proc/$pid/cwd"
}

# Wait until the window's program ended (the window closes).
wait_end() {
  local limit=${1:-20} i=0
  while [ $i -lt $((limit * 10)) ]; do
    tmux -S "$SOCKET" list-windows -t e2e -F '#{window_name}' 2>/dev/null | grep -qx "${WINDOW:-main}" || return 0
    sleep 0.1; i=$((i + 1))
  done
  fail "program did not end"
}

# End the program at its menu (its window started it with an echo of
# PROGRAMA-ENCERRADO after it), then start it again in the project $1, in a
# window "again", and wait for its menu prompt.
quit_and_start_again() {
  keys Escape
  wait_for "Fim do programa" 30
  wait_for PROGRAMA-ENCERRADO
  WINDOW=again start again "cd $1; $BUILD/varlo; sleep 30"
  WINDOW=again wait_for "Pressionando ENTER"
  WINDOW=again keys Enter
  WINDOW=again wait_prompt
}

# A suite directory of its own ($SUITE, with the shipped Murena.ini) and an
# empty project directory made current.
use_private_suite() {
  SUITE="$WORK/suite"
  mkdir -p "$SUITE" "$WORK/projeto"
  cp "$(dirname "${BASH_SOURCE[0]}")/../../data/Murena.ini" "$SUITE/"
  export VARLO_SUITE="$SUITE"
  cd "$WORK/projeto"
}

# Start the program in window "main" in a project directory $P that holds
# texto.txt, its sound captured into $CAPTURE, with what it puts on the
# clipboard passed on by tmux.
start_heard_in_project() {
  P="$WORK/projeto"
  mkdir -p "$P"
  printf 'Bom dia.\n' > "$P/texto.txt"
  cd "$P"
  start main "VARLO_AUDIO=capture:$CAPTURE $BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
  tmux -S "$SOCKET" set -s set-clipboard on
}

# Start the program in window "main" and go past its opening screen to the
# menu prompt.
start_at_menu() {
  start main "$BUILD/varlo; sleep 60"
  wait_for "Pressionando ENTER"
  keys Enter
  wait_prompt
}

# livro.txt in the current directory: the first $1 lines of fortunes-br
# with a chapter heading every 30 lines, a page break every 40, and a last
# heading and paragraph of markup characters.
write_headed_book() {
  grep -v '^%' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$' | head -n "$1" |
    awk 'NR % 30 == 1 { printf "\nCAPÍTULO %d\n\n", ++c } NR % 40 == 0 { printf "\f" } { print }' > livro.txt
  printf '\n# Notas <&>\n\nUm texto com <marcas> & um ]]> no meio.\n' >> livro.txt
}

# Option V up to its phrase prompt, with the voice type $1.
start_voice_trial() {
  keys v
  wait_for "Informe o tipo de voz (3 Olira, 4 Speech Dispatcher, 5 espeak-ng)"
  keys "$1"
  wait_for "Digite uma frase qualquer"
}

# Option E: run the script $1 lines down the list (default 1).
run_listed_script() {
  local downs=() i
  for ((i = 0; i < ${1:-1}; i++)); do downs+=(Down); done
  keys e
  wait_for "Selecione o script com as setas"
  sleep 1
  keys "${downs[@]}"
  sleep 1
  keys Enter
}

# The sound captured in $CAPTURE (VARLO_AUDIO=capture:$CAPTURE): how many beeps (8-bit, 512 bytes) and clicks (8-bit, 256 bytes) were played.
sounds() {
  python3 - "$CAPTURE" "$1" <<'PY'
import sys
data = open(sys.argv[1], "rb").read() if __import__("os").path.exists(sys.argv[1]) else b""
size = 512 if sys.argv[2] == "beep" else 256
i = count = 0
while i < len(data):
    j = data.find(b"\n", i)
    if j < 0: break
    fields = data[i:j].split(); i = j + 1
    if fields[:1] == [b"PLAY"]:
        n = int(fields[5])
        if fields[2:5] == [b"11025", b"8", b"1"] and n == size: count += 1
        i += n + 1
print(count)
PY
}

# Wait until `kind` was played `count` times in all.
wait_sound() {
  local kind=$1 count=$2 i=0
  while [ $i -lt 200 ]; do
    [ "$(sounds "$kind")" -ge "$count" ] && return 0
    sleep 0.1; i=$((i + 1))
  done
  fail "expected $count ${kind}s, heard $(sounds "$kind")"
}
# Bytes captured so far, and a wait until more than $1 bytes were added to
# $2 (speech, not a beep or a click) within $3 seconds (default 5).
captured() { stat -c %s "$CAPTURE" 2>/dev/null || echo 0; }
wait_heard() {
  local more=$1 before=$2 limit=${3:-5} i=0
  while [ $i -lt $((limit * 10)) ]; do
    [ "$(captured)" -gt $((before + more)) ] && return 0
    sleep 0.1; i=$((i + 1))
  done
  fail "${4:-nothing was said}: $(( $(captured) - before )) bytes"
}
# Seconds of sound heard in the capture from byte $1 on: what was played,
# less what a stop threw away unheard (the last bytes handed over since the
# stop before, in the formats they were handed in).
heard_since() {
  python3 - "$CAPTURE" "$1" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()[int(sys.argv[2]):]
i, seconds, handed = 0, 0.0, []
while i < len(data):
    j = data.find(b"\n", i)
    if j < 0: break
    f = data[i:j].split(); i = j + 1
    if f[:1] == [b"PLAY"]:
        n, per_second = int(f[5]), int(f[2]) * int(f[3]) // 8 * int(f[4])
        seconds += n / per_second
        handed.append([n, per_second])
        i += n + 1
    elif f[:1] == [b"STOP"]:
        unheard = int(f[2])
        while unheard > 0 and handed:
            n, per_second = handed[-1]
            take = min(n, unheard)
            seconds -= take / per_second
            unheard -= take
            handed[-1][0] -= take
            if handed[-1][0] == 0: handed.pop()
        handed = []
print(f"{seconds:.1f}")
PY
}

# Wait until nothing more is captured for a second, as measured by the
# command $1 (default: the capture's size).
wait_quiet() {
  local measure=${1:-captured} last=-1 now i=0
  while [ $i -lt 100 ]; do
    now=$($measure)
    [ "$now" = "$last" ] && return 0
    last=$now; sleep 1; i=$((i + 1))
  done
}
