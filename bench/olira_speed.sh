#!/bin/sh
# Synthesis speed of the built-in voice Olira beside the espeak-ng voice on
# the same Brazilian Portuguese text (fortunes-br), both rendered into WAV
# files through the engine dispatcher, as multiples of real time.
#   bench/olira_speed.sh [BUILD_DIR] [TEXT_FILE] [FORTUNES]
# TEXT_FILE defaults to the first FORTUNES (200) fortunes of
# /usr/share/games/fortunes/brasil. The WAV files (olira.wav, espeak.wav)
# are kept in OLIRA_SPEED_DIR when it is set.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
out=${OLIRA_SPEED_DIR:-$tmp}
mkdir -p "$out"
text=${2:-}
if [ -z "$text" ]; then
  text=$tmp/fortunes.txt
  awk -v n="${3:-200}" '/^%$/ { if (++count >= n) exit } { print }' \
    /usr/share/games/fortunes/brasil > "$text"
fi
echo "text: $text ($(wc -w < "$text") words)"
VARLO_AUDIO=null VARLO_CONSOLE=headless "$build/olira-speed" "$text" "$out"
