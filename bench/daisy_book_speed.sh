#!/bin/bash
# The time to make a DAISY book of a fortunes-br text with chapter headings
# and page breaks, beside the time `varlo livro.txt` takes to make its MP3
# parts today. Goal: the book within 10 % of the parts.
#   bench/daisy_book_speed.sh [BUILD_DIR] [LINES]   (default build, 1000)
set -euo pipefail
build=$(realpath "${1:-build}")
lines=${2:-1000}
[ -x "$build/varlo" ] || { echo "build the varlo target in $build first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/config" VARLO_AUDIO=null VARLO_CONSOLE=headless
mkdir -p "$work/config/murena" "$work/mp3" "$work/daisy"
printf '[VARLO]\nCLEK=NAO\n' > "$work/config/murena/Murena.ini"
grep -v '^%' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$' | awk -v n="$lines" 'NR <= n' |
  awk 'NR % 100 == 1 { printf "\nCAPÍTULO %d\n\n", ++c } NR % 60 == 0 { printf "\f" } { print }' > "$work/livro.txt"
cp "$work/livro.txt" "$work/mp3/"
cp "$work/livro.txt" "$work/daisy/"
seconds() { local start end; start=$(date +%s.%N); "$@" < /dev/null > /dev/null 2>&1; end=$(date +%s.%N); echo "$end - $start" | bc; }
mp3=$(cd "$work/mp3" && seconds "$build/varlo" livro.txt)
daisy=$(cd "$work/daisy" && seconds "$build/varlo" --formato daisy livro.txt)
printf 'lines %d\nmp3 parts   %.1f s\ndaisy book  %.1f s (%+.0f %%)\n' "$lines" "$mp3" "$daisy" \
  "$(echo "($daisy - $mp3) * 100 / $mp3" | bc -l)"
