#!/bin/bash
# Peak memory of reading a JSON array of small numbers with CONTEUDO, for
# files of growing size, beside the runner's own peak with an empty script.
# The goal: under 20 times the file's size.
# Usage: bench/json_memory.sh [BUILD_DIR] [MEGABYTES...]   (default build, 1 5 10)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-$HERE/../build}" && pwd)
shift || true
SIZES=${*:-1 5 10}
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

peak() { /usr/bin/time -f %M "$RUNNER" "$1" 2>&1 >/dev/null | tail -1; }

printf 'ESCREVE 1\n' > vazio.scr
base=$(peak vazio.scr)
echo "runner alone: $base KB"
for mb in $SIZES; do
  # "7," per number: the densest text of numbers, the worst case per byte.
  count=$((mb * 1000000 / 2))
  python3 -c "import sys; sys.stdout.write('[' + ','.join(['7'] * $count) + ']')" > n.json
  bytes=$(stat -c %s n.json)
  printf 'V := CONTEUDO("n.json", "JSON")\nESCREVE TAMANHO(V)\n' > ler.scr
  kb=$(peak ler.scr)
  awk -v mb="$mb" -v n="$count" -v b="$bytes" -v kb="$kb" -v base="$base" 'BEGIN {
    printf "%3d MB, %d numbers: peak %d KB, %.1f times the file (%.1f above the runner alone)\n",
           mb, n, kb, kb * 1024 / b, (kb - base) * 1024 / b }'
done
