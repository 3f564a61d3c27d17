#!/bin/bash
# Peak memory and time of dividing a book of growing size into about 500
# parts (as `varlo livro.txt` does with QUEBRARLINHA), the text read a line
# at a time.
# Goal: under 100 MB whatever the book's size.
#   bench/text_division_memory.sh [BUILD_DIR] [MEGABYTES...]   (default build, 30 100 300)
set -euo pipefail
build=${1:-build}
shift || true
sizes=${*:-30 100 300}
tool="$build/text-division-bench"
[ -x "$tool" ] || { echo "build the text-division-bench target in $build first" >&2; exit 2; }
tool=$(realpath "$tool")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for mb in $sizes; do
  rm -f "$work"/*
  # Lines of about 80 characters with accents, in UTF-8.
  python3 - "$work/livro.txt" "$mb" <<'PY'
import sys
path, mb = sys.argv[1], int(sys.argv[2])
line = "Esta é a linha %d do livro, com algumas palavras a mais para ocupar espaço.\n"
with open(path, "w", encoding="utf-8") as f:
    i, size = 0, 0
    while size < mb * 1000000:
        text = line % i
        f.write(text)
        size += len(text.encode("utf-8"))
        i += 1
PY
  per_part=$(( $(wc -l < "$work/livro.txt") / 500 + 1 ))
  result=$(VARLO_AUDIO=null VARLO_CONSOLE=headless "$tool" "$work" livro.txt "$per_part" | tail -1)
  parts=$(ls "$work" | grep -c '\.PAR$' || true)
  echo "$mb MB book: ${result%% *} s, peak ${result##* } KB, $parts parts"
done
