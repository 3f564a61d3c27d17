#!/bin/bash
# Rendering speed of the program's espeak-ng driver against the espeak-ng
# command on the same Brazilian Portuguese text (the first fortunes of
# /usr/share/games/fortunes/brasil), both writing a WAV file.
#   bench/espeak_driver_speed.sh [BUILD_DIR] [TEXT_BYTES]
# Prints both times and speed = command time / driver time; the driver is
# expected to reach at least 0.9.
set -euo pipefail
build=${1:-build}
bytes=${2:-30000}
tool="$build/espeak-driver-speed"
[ -x "$tool" ] || { echo "build the espeak-driver-speed target in $build first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Whole fortunes only, cut at the last "%" line within the byte budget; the
# "%" lines become blank lines so that both read the same words.
head -c "$bytes" /usr/share/games/fortunes/brasil |
  awk '{ buf = buf $0 "\n" } /^%$/ { out = out buf; buf = "" } END { printf "%s", out }' |
  sed 's/^%$//' > "$work/text.txt"

# One timed run of "$@": "wall_seconds cpu_seconds".
timed() {
  /usr/bin/time -o "$work/time" -f "%e %U %S" "$@" >/dev/null 2>&1
  local wall user sys
  read -r wall user sys < "$work/time"
  echo "$wall $(echo "$user + $sys" | bc -l)"
}
less() { [ "$(echo "$1 < $2" | bc -l)" = 1 ]; }

# Five rounds, the two taking turns so that the load of a shared machine
# falls on both alike; the best wall time of each counts.
command_wall=999999 driver_wall=999999
for _ in 1 2 3 4 5; do
  read -r wall cpu <<< "$(timed espeak-ng -v pt-br -w "$work/command.wav" -f "$work/text.txt")"
  if less "$wall" "$command_wall"; then command_wall=$wall command_cpu=$cpu; fi
  read -r wall cpu <<< "$(timed "$tool" "$work/text.txt" "$work/driver.wav")"
  if less "$wall" "$driver_wall"; then driver_wall=$wall driver_cpu=$cpu; fi
done
command_audio=$(sox --i -D "$work/command.wav")
driver_audio=$(sox --i -D "$work/driver.wav")

# The same words are rendered by both (the command pauses a little longer
# between paragraphs, hence its longer audio). The machine may be shared:
# wall times are the best of five runs, and cpu times are shown too.
printf '%-24s %8s %8s %10s\n' "" "wall s" "cpu s" "audio s"
printf '%-24s %8.2f %8.2f %10.1f\n' "espeak-ng -w (command)" "$command_wall" "$command_cpu" "$command_audio"
printf '%-24s %8.2f %8.2f %10.1f\n' "espeak driver" "$driver_wall" "$driver_cpu" "$driver_audio"
speed=$(echo "$command_wall / $driver_wall" | bc -l)
cpu_speed=$(echo "$command_cpu / $driver_cpu" | bc -l)
printf 'speed of the driver: %.2f x the command by wall time, %.2f x by cpu time (target >= 0.90)\n' \
  "$speed" "$cpu_speed"
