#!/bin/bash
# Speed and memory of joining WAV files (the conversion's effect insertion)
# against sox doing the same work: a 10-minute 22050 Hz mono 16-bit speech
# file followed by (a) a 30-second effect of the same format, copied as it
# is, and (b) a 30-second 44100 Hz stereo 8-bit effect, converted first.
#   bench/wav_join_speed.sh [BUILD_DIR]
# Prints seconds and peak memory (kB) of both, best of three runs.
set -euo pipefail
build=${1:-build}
tool="$build/wav-join-bench"
[ -x "$tool" ] || { echo "build the wav-join-bench target in $build first" >&2; exit 2; }
command -v sox >/dev/null || { echo "sox is needed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -n -r 22050 -c 1 -b 16 "$work/base.wav" synth 600 sine 300:900 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$work/same.wav" synth 30 pinknoise vol 0.3
sox -n -r 44100 -c 2 -b 8 "$work/other.wav" synth 30 pinknoise vol 0.3

best() {   # best of three: "seconds peak_kb"
  local b="" line
  for _ in 1 2 3; do
    line=$("$@")
    if [ -z "$b" ] || [ "$(echo "${line%% *} < ${b%% *}" | bc -l)" = 1 ]; then b=$line; fi
  done
  echo "$b"
}
program() { VARLO_AUDIO=null VARLO_CONSOLE=headless "$tool" "$work" "$1"; }
with_sox() {
  /usr/bin/time -o "$work/time" -f "%e %M" bash -c \
    "sox '$work/$1' -r 22050 -c 1 -b 16 '$work/conv.wav' && sox '$work/base.wav' '$work/conv.wav' '$work/out.wav'"
  tail -n 1 "$work/time"
}

printf '%-28s %18s %18s\n' "join" "program s / kB" "sox s / kB"
for effect in same.wav other.wav; do
  printf '%-28s %18s %18s\n' "10 min + 30 s $effect" "$(best program "$effect")" "$(best with_sox "$effect")"
done
