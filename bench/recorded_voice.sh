#!/bin/bash
# The suite's recorded voice over 2000 words of the Brazilian word list
# (fixed seed): segment coverage, words that needed noise, and speed in
# multiples of real time, beside espeak-ng's command line rendering the same
# words into a WAV file.
#   bench/recorded_voice.sh [BUILD_DIR] [WORD_LIST] [COUNT]
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
list=${2:-/usr/share/dict/brazilian}
count=${3:-2000}
VARLO_AUDIO=null VARLO_CONSOLE=headless "$build/recorded-voice-bench" "$list" "$count"
if command -v espeak-ng >/dev/null; then
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  shuf -n "$count" --random-source=<(yes) "$list" > "$tmp/words.txt" 2>/dev/null ||
    head -n "$count" "$list" > "$tmp/words.txt"
  start=$(date +%s.%N)
  espeak-ng -v pt-br -w "$tmp/espeak.wav" -f "$tmp/words.txt"
  end=$(date +%s.%N)
  bytes=$(stat -c %s "$tmp/espeak.wav")
  awk -v b="$bytes" -v s="$start" -v e="$end" \
    'BEGIN { printf "espeak-ng (reference): %.1f s of sound in %.3f s: %.0f x real time\n", b / 44100, e - s, b / 44100 / (e - s) }'
fi
