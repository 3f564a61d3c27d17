#!/bin/bash
# Speed of option C on the whole fortunes-br text (about 44 000 words,
# /usr/share/games/fortunes/brasil) with the espeak-ng voice, beside the
# commands doing the same work by hand in the same run:
#   WAV:       conversion-speed ... wav   vs  espeak-ng -v pt-br -w
#   WAV + MP3: conversion-speed ... mp3   vs  espeak-ng -w, then lame --abr 80
#   bench/conversion_speed.sh [BUILD_DIR] [ROUNDS]
# Goals: WAV within 1.1 x the espeak-ng command; WAV plus MP3 within 1.1 x
# the two commands in sequence. The machine may be shared: the runs take
# turns, the best wall time of each counts, and cpu times are shown too.
set -euo pipefail
build=${1:-build}
rounds=${2:-1}
tool="$build/conversion-speed"
[ -x "$tool" ] || { echo "build the conversion-speed target in $build first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/projeto" "$work/config/murena" "$work/run"
# The "%" lines between fortunes become blank lines for both.
sed 's/^%$//' /usr/share/games/fortunes/brasil > "$work/projeto/brasil.txt"
# Messages of the run go to the recorded voice, which has no recordings
# here: only the conversion itself is timed.
cat > "$work/config/murena/Murena.ini" <<'INI'
[TRADUTOR]
SAPI=NAO
[VARLO]
TIPOSAPI=5
NUMEROSAPI=1
VELOCIDADESAPI=0
TONALIDADESAPI=0
QUALIDADEMP3=A
CLEK=NAO
INI
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless VARLO_AUDIO=null

# One timed run of "$@": "wall_seconds cpu_seconds" (cpu of the children too).
timed() {
  /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" >/dev/null 2>&1
  local wall user sys
  read -r wall user sys < "$work/time"
  echo "$wall $(echo "$user + $sys" | bc -l)"
}
best() {  # best "name" wall cpu: keep the lowest wall time of each run kind
  local name=$1 wall=$2 cpu=$3 old=${walls[$1]:-999999}
  if [ "$(echo "$wall < $old" | bc -l)" = 1 ]; then walls[$name]=$wall; cpus[$name]=$cpu; fi
}
declare -A walls cpus
for _ in $(seq "$rounds"); do
  best espeak $(timed espeak-ng -v pt-br -w "$work/command.wav" -f "$work/projeto/brasil.txt")
  best lame $(timed lame --quiet --abr 80 "$work/command.wav" "$work/command.mp3")
  best wav $(timed "$tool" "$work/projeto" brasil.txt)
  mv "$work/projeto/WAVMP3/brasil.wav" "$work/varlo.wav"
  best mp3 $(timed "$tool" "$work/projeto" brasil.txt mp3)
  [ -s "$work/projeto/WAVMP3/brasil.mp3" ] || { echo "no MP3 was made" >&2; exit 1; }
done

audio() { sox --i -D "$1"; }
printf '%-34s %8s %8s %9s\n' "" "wall s" "cpu s" "audio s"
printf '%-34s %8.1f %8.1f %9.0f\n' "espeak-ng -v pt-br -w" "${walls[espeak]}" "${cpus[espeak]}" "$(audio "$work/command.wav")"
printf '%-34s %8.1f %8.1f\n' "lame --abr 80" "${walls[lame]}" "${cpus[lame]}"
printf '%-34s %8.1f %8.1f %9.0f\n' "varlo option C, WAV" "${walls[wav]}" "${cpus[wav]}" "$(audio "$work/varlo.wav")"
printf '%-34s %8.1f %8.1f\n' "varlo option C, MP3" "${walls[mp3]}" "${cpus[mp3]}"
ratio() { echo "$1 / $2" | bc -l; }
both_wall=$(echo "${walls[espeak]} + ${walls[lame]}" | bc -l)
both_cpu=$(echo "${cpus[espeak]} + ${cpus[lame]}" | bc -l)
printf 'WAV:       %.2f x the espeak-ng command by wall time, %.2f x by cpu time (goal <= 1.10)\n' \
  "$(ratio "${walls[wav]}" "${walls[espeak]}")" "$(ratio "${cpus[wav]}" "${cpus[espeak]}")"
printf 'WAV + MP3: %.2f x the two commands by wall time, %.2f x by cpu time (goal <= 1.10)\n' \
  "$(ratio "${walls[mp3]}" "$both_wall")" "$(ratio "${cpus[mp3]}" "$both_cpu")"
