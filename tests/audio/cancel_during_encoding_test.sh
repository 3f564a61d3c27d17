#!/bin/bash
# The book job cancelled (a key, Esc, then S) while the encoders of two parts
# are at work: it ends at once, no MP3 is left under a final name nor any
# scratch MP3, the WAV of the rendered part stays and the unfinished one is
# not left, no encoder lives on, and the book is untouched.
set -u
varlo=$(realpath "$1/varlo")
work=$(mktemp -d)
pids=()
cleanup() {
  exec 3>&- 2>/dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FALHA: $*"; exit 1; }

mkdir -p "$work/config/murena" "$work/run" "$work/projeto"
# An encoder that takes all its input, starts its output, and then hangs.
cat > "$work/lame" <<SH
#!/bin/sh
for last; do :; done
echo \$\$ > "$work/lame-\$(basename "\$last")"
cat > /dev/null
printf 'ID3 inacabado' > "\$last"
touch "$work/recebeu-\$(basename "\$last")"
exec sleep 60
SH
chmod +x "$work/lame"
printf '[VARLO]\nQUEBRARLINHA=150\nCLEK=NAO\nCODIFICADORESMP3=2\nPROG_LAME=%s\n' "$work/lame" \
  > "$work/config/murena/Murena.ini"
cd "$work/projeto"
grep -v '^%' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$' | head -n 450 > livro.txt
cp livro.txt "$work/original.txt"

mkfifo "$work/teclas"
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless \
  timeout ${VARLO_TEST_TIMEOUT:-300} "$varlo" livro.txt < "$work/teclas" > "$work/saida" 2>&1 &
job=$!
pids+=("$job")
exec 3>"$work/teclas"

# Waits until the file named by $1 is in the work directory.
wait_for() {
  for _ in $(seq 1200); do
    [ -e "$work/$1" ] && return
    kill -0 "$job" 2>/dev/null || fail "the job ended before $1: $(tail -3 "$work/saida")"
    sleep 0.05
  done
  fail "never came: $1"
}
# A key while the second part renders pauses the run at the next phrase,
# with the first part's encoder still at work and the second's following
# its recording; then Esc and S end the program.
wait_for recebeu-livro_001.mp3.parcial
printf 'x' >&3
sleep 2
printf '\033' >&3
sleep 1
printf 'S' >&3
wait "$job"

for f in "$work"/lame-*; do
  pid=$(cat "$f")
  pids+=("$pid")
  ! kill -0 "$pid" 2>/dev/null || fail "an encoder lives on: $(basename "$f"): $(tail -5 "$work/saida")"
done
[ "$(ls "$work" | grep -c '^lame-')" -eq 2 ] || fail "not two encoders at work: $(ls "$work")"
left=$(find livro -name '*.mp3' -o -name '*.parcial')
[ -z "$left" ] || fail "left behind: $left"
[ -s livro/livro_001.wav ] || fail "WAV of part 001 lost"
[ ! -e livro/livro_002.wav ] || fail "the unfinished WAV of part 002 was left"
[ ! -e livro/livro_003.wav ] || fail "part 3 was rendered after the cancel"
cmp -s livro.txt "$work/original.txt" || fail "the book was changed"
echo ok
