#!/bin/bash
# A one-shot job ended from outside (SIGTERM) leaves nothing that looks
# finished: killed while encoding, no MP3 under its final name nor the
# encoder's scratch file; killed while rendering, no cut WAV. The book stays.
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/projeto"
mkdir -p "$P" "$HOME/.config/murena"
cd "$P"
grep -v '^%' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$' | head -n 120 > livro.txt
cp livro.txt "$WORK/original.txt"

# An encoder that writes the start of its output and then takes its time.
cat > "$WORK/lame-lento" <<SH
#!/bin/sh
for last; do :; done
printf 'ID3 inacabado' > "\$last"
touch "$WORK/lame-comecou"
exec sleep 60
SH
chmod +x "$WORK/lame-lento"
printf '[VARLO]\nPROG_LAME=%s\nQUEBRARLINHA=1000\n' "$WORK/lame-lento" > "$HOME/.config/murena/Murena.ini"

# Starts the job and sends it SIGTERM once the file test $1 holds.
kill_job_when() {
  VARLO_CONSOLE=headless "$BUILD/varlo" livro.txt < /dev/null > "$WORK/out" 2>&1 &
  local pid=$! i=0
  until eval "$1"; do
    sleep 0.05; i=$((i + 1))
    [ $i -lt 1200 ] || fail "the job never reached: $1"
    kill -0 $pid 2>/dev/null || fail "the job ended before: $1"
  done
  kill -TERM $pid
  wait $pid
  local status=$?
  [ "$status" -ne 0 ] || fail "a killed job ended with status 0"
}

kill_job_when '[ -e "$WORK/lame-comecou" ]'
left=$(find "$P" -name '*.mp3' -o -name '*.parcial')
[ -z "$left" ] || fail "killed while encoding, left: $left"
cmp -s livro.txt "$WORK/original.txt" || fail "the book was changed"

pkill -f "$WORK/lame-lento" ; rm -rf "$P"/livro "$P"/*.PAR
kill_job_when '[ -n "$(find "$P" -name "livro_001.wav" -size +20k 2>/dev/null)" ]'
left=$(find "$P" -iname '*.wav' -o -iname 'arq_wav.$$$')
[ -z "$left" ] || fail "killed while rendering, left: $left"
cmp -s livro.txt "$WORK/original.txt" || fail "the book was changed"
echo PASS
