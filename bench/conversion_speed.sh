#!/bin/bash
# Speed of conversion on the fortunes-br text (about 44 000 words,
# /usr/share/games/fortunes/brasil) with the espeak-ng voice, beside the
# commands doing the same work by hand in the same run:
#   WAV:        conversion-speed ... wav    vs  espeak-ng -v pt-br -w
#   WAV + MP3:  conversion-speed ... mp3    vs  espeak-ng -w, then lame --abr 80
#   book:       varlo livro.txt (divided into about 20 parts, every part an
#               MP3)                        vs  espeak-ng -w, then lame, part after part
#   bench/conversion_speed.sh [BUILD_DIR] [ROUNDS] [LINES]
# LINES takes only the first lines of the text (all of it when empty).
# Goals: WAV within 1.1 x the espeak-ng command; one text to MP3 within
# 0.8 x the two commands in sequence by wall time; the book within 0.6 x;
# the book job's peak memory under 100 MB. The machine may be shared: the
# runs take turns, the best wall time of each counts, and cpu times (the
# children's included) are shown too.
set -euo pipefail
build=${1:-build}
rounds=${2:-1}
lines=${3:-}
tool="$build/conversion-speed"
varlo="$build/varlo"
for program in "$tool" "$varlo"; do
  [ -x "$program" ] || { echo "build the conversion-speed and varlo targets in $build first" >&2; exit 2; }
done
varlo=$(realpath "$varlo")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/projeto" "$work/livro" "$work/partes" "$work/config/murena" "$work/run"
# The "%" lines between fortunes become blank lines for both.
sed 's/^%$//' /usr/share/games/fortunes/brasil > "$work/projeto/brasil.txt"
if [ -n "$lines" ]; then
  head -n "$lines" "$work/projeto/brasil.txt" > "$work/cut" && mv "$work/cut" "$work/projeto/brasil.txt"
fi
cp "$work/projeto/brasil.txt" "$work/livro/livro.txt"
per_part=$(( ($(wc -l < "$work/livro/livro.txt") + 19) / 20 ))
# Messages of the run go to the recorded voice, which has no recordings
# here: only the conversion itself is timed.
cat > "$work/config/murena/Murena.ini" <<INI
[TRADUTOR]
SAPI=NAO
[VARLO]
TIPOSAPI=5
NUMEROSAPI=1
VELOCIDADESAPI=0
TONALIDADESAPI=0
QUALIDADEMP3=A
CLEK=NAO
QUEBRARLINHA=$per_part
INI
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless VARLO_AUDIO=null

# One timed run of "$@": "wall_seconds cpu_seconds peak_kilobytes" (cpu of
# the children too; the peak is the largest single process).
timed() {
  /usr/bin/time -o "$work/time" -f "%e %U %S %M" "$@" >/dev/null 2>&1 </dev/null
  local wall user sys peak
  read -r wall user sys peak < "$work/time"
  echo "$wall $(echo "$user + $sys" | bc -l) $peak"
}
best() {  # best "name" wall cpu peak: keep the lowest wall time of each run kind
  local name=$1 wall=$2 cpu=$3 peak=$4 old=${walls[$1]:-999999}
  if [ "$(echo "$wall < $old" | bc -l)" = 1 ]; then walls[$name]=$wall; cpus[$name]=$cpu; peaks[$name]=$peak; fi
}
# The parts the book job wrote, spoken and encoded one after the other.
by_hand() {
  for part in "$work"/livro/*.PAR; do
    espeak-ng -v pt-br -w "$work/partes/parte.wav" -f "$part"
    lame --quiet --abr 80 "$work/partes/parte.wav" "$work/partes/$(basename "$part" .PAR).mp3"
  done
}
book_job() { (cd "$work/livro" && "$varlo" livro.txt); }
export -f by_hand book_job
export work varlo

declare -A walls cpus peaks
for _ in $(seq "$rounds"); do
  best espeak $(timed espeak-ng -v pt-br -w "$work/command.wav" -f "$work/projeto/brasil.txt")
  best lame $(timed lame --quiet --abr 80 "$work/command.wav" "$work/command.mp3")
  best wav $(timed "$tool" "$work/projeto" brasil.txt)
  mv "$work/projeto/WAVMP3/brasil.wav" "$work/varlo.wav"
  best mp3 $(timed "$tool" "$work/projeto" brasil.txt mp3)
  [ -s "$work/projeto/WAVMP3/brasil.mp3" ] || { echo "no MP3 was made" >&2; exit 1; }
  rm -rf "$work/livro/livro" "$work"/livro/*.PAR
  best book $(timed bash -c book_job)
  best hand $(timed bash -c by_hand)
done
parts=$(ls "$work"/livro/*.PAR | wc -l)
made=$(ls "$work"/livro/livro/*.mp3 | wc -l)
[ "$parts" = "$made" ] || { echo "the book job made $made MP3s of $parts parts" >&2; exit 1; }

audio() { sox --i -D "$1"; }
row() { printf '%-40s %8.1f %8.1f %9s\n' "$1" "${walls[$2]}" "${cpus[$2]}" "${3:-}"; }
printf '%-40s %8s %8s %9s\n' "" "wall s" "cpu s" "audio s"
row "espeak-ng -v pt-br -w" espeak "$(printf %.0f "$(audio "$work/command.wav")")"
row "lame --abr 80" lame
row "varlo option C, WAV" wav "$(printf %.0f "$(audio "$work/varlo.wav")")"
row "varlo option C, MP3" mp3
row "espeak-ng + lame, $parts parts in turn" hand
row "varlo livro.txt, $parts parts" book
ratio() { echo "$1 / $2" | bc -l; }
both_wall=$(echo "${walls[espeak]} + ${walls[lame]}" | bc -l)
both_cpu=$(echo "${cpus[espeak]} + ${cpus[lame]}" | bc -l)
printf 'WAV:       %.2f x the espeak-ng command by wall time, %.2f x by cpu time (goal <= 1.10)\n' \
  "$(ratio "${walls[wav]}" "${walls[espeak]}")" "$(ratio "${cpus[wav]}" "${cpus[espeak]}")"
printf 'WAV + MP3: %.2f x the two commands by wall time, %.2f x by cpu time (goal <= 0.80 by wall)\n' \
  "$(ratio "${walls[mp3]}" "$both_wall")" "$(ratio "${cpus[mp3]}" "$both_cpu")"
printf 'book:      %.2f x the commands part after part by wall time, %.2f x by cpu time (goal <= 0.60 by wall)\n' \
  "$(ratio "${walls[book]}" "${walls[hand]}")" "$(ratio "${cpus[book]}" "${cpus[hand]}")"
printf 'book job peak memory: %d MB (goal < 100)\n' "$(( ${peaks[book]} / 1024 ))"
printf 'cores: %s, load average before the runs ended: %s\n' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
