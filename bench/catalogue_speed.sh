#!/bin/bash
# A catalogue of BOOKS books cut from the fortunes-br text
# (/usr/share/games/fortunes/brasil, about 44 000 words in all), converted
# with `varlo --catalogo` on every local core against the same books made
# one after another by the one-shot job (`varlo livro.txt`), for MP3 and for
# DAISY. Prints the wall times, their ratio (goal: 0.55 or less on 2 cores),
# books per hour per core, and the same rate for books of the whole
# fortunes-br text's length (scaled by words), from which the cluster size
# for 10 000 such books in a night (10 hours) follows.
#   bench/catalogue_speed.sh [BUILD_DIR] [BOOKS] [LINES_PER_BOOK]
# The machine may be shared: the figures are of one run each.
set -euo pipefail
build=${1:-build}
books=${2:-40}
lines=${3:-60}
varlo="$build/varlo"
[ -x "$varlo" ] || { echo "build the varlo target in $build first" >&2; exit 2; }
varlo=$(realpath "$varlo")
cores=$(nproc)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/origem" "$work/config/murena" "$work/run"
sed 's/^%$//' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$' > "$work/brasil.txt"
total_lines=$(wc -l < "$work/brasil.txt")
for n in $(seq 1 "$books"); do
  start=$(( (n - 1) * lines % (total_lines - lines) + 1 ))
  sed -n "${start},$((start + lines - 1))p" "$work/brasil.txt" > "$work/origem/livro$n.txt"
done
book_words=$(( $(cat "$work"/origem/*.txt | wc -w) / books ))
full_words=$(sed 's/^%$//' /usr/share/games/fortunes/brasil | wc -w)
cat > "$work/config/murena/Murena.ini" <<INI
[TRADUTOR]
SAPI=NAO
[VARLO]
TIPOSAPI=5
NUMEROSAPI=1
QUALIDADEMP3=A
CLEK=NAO
QUEBRARLINHA=40
INI
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless VARLO_AUDIO=null

seconds() { date +%s.%N; }

for format in mp3 daisy; do
  t0=$(seconds)
  "$varlo" --formato $format --catalogo "$work/origem" "$work/catalogo-$format" 2>/dev/null
  t1=$(seconds)
  mkdir "$work/um-$format"
  for n in $(seq 1 "$books"); do
    mkdir "$work/um-$format/$n"
    cp "$work/origem/livro$n.txt" "$work/um-$format/$n/"
    (cd "$work/um-$format/$n" && XDG_RUNTIME_DIR="$work/um-$format/$n" \
      "$varlo" --formato $format "livro$n.txt" </dev/null >/dev/null 2>&1)
  done
  t2=$(seconds)
  parallel=$(echo "$t1 - $t0" | bc -l)
  serial=$(echo "$t2 - $t1" | bc -l)
  hours=$("$varlo" --catalogo --estado "$work/catalogo-$format" | sed -n 's/.*(\(.*\) horas.*/\1/p')
  per_core=$(echo "$books / ($parallel / 3600) / $cores" | bc -l)
  full=$(echo "$per_core * $book_words / $full_words" | bc -l)
  nodes=$(echo "10000 / ($full * 10)" | bc -l)
  printf '%s: %d books of %d words, %d cores: catalogue %.1f s, one after another %.1f s, ratio %.2f\n' \
    "${format^^}" "$books" "$book_words" "$cores" "$parallel" "$serial" \
    "$(echo "$parallel / $serial" | bc -l)"
  printf '  %s hours of audio; %.0f books per hour per core; %.2f whole-fortunes-br books (%d words) per hour per core;\n' \
    "$hours" "$per_core" "$full" "$full_words"
  printf '  10 000 such books in 10 hours need about %.0f cores\n' "$nodes"
done
