#!/bin/bash
# Peak memory of a book of growing size: divided into about 500 parts (as
# `varlo livro.txt` does with QUEBRARLINHA), and converted whole as option C
# does (for its first SECONDS only: a big book speaks for days; the text
# is read as it is spoken, so the peak is reached early). The text is never
# held whole. Goal: under 100 MB whatever the book's size.
#   bench/book_memory.sh [BUILD_DIR] [SECONDS] [MEGABYTES...]   (default build, 30, 30 300)
set -euo pipefail
build=${1:-build}
seconds=${2:-30}
shift 2 || shift $#
sizes=${*:-30 300}
divide="$build/text-division-bench"
convert="$build/conversion-speed"
for program in "$divide" "$convert"; do
  [ -x "$program" ] || { echo "build the text-division-bench and conversion-speed targets in $build first" >&2; exit 2; }
done
divide=$(realpath "$divide")
convert=$(realpath "$convert")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/murena" "$work/run" "$work/livro"
cat > "$work/config/murena/Murena.ini" <<INI
[TRADUTOR]
SAPI=NAO
[VARLO]
TIPOSAPI=5
NUMEROSAPI=1
CLEK=NAO
INI
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless VARLO_AUDIO=null

for mb in $sizes; do
  rm -rf "$work/livro" && mkdir "$work/livro"
  # Lines of about 80 characters with accents, in UTF-8.
  python3 - "$work/livro/livro.txt" "$mb" <<'PY'
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
  per_part=$(( $(wc -l < "$work/livro/livro.txt") / 500 + 1 ))
  result=$("$divide" "$work/livro" livro.txt "$per_part" </dev/null | tail -1)
  parts=$(ls "$work/livro" | grep -c '\.PAR$' || true)
  echo "$mb MB book divided: ${result%% *} s, peak ${result##* } KB, $parts parts"
  rm -f "$work"/livro/*.PAR
  # Ended from outside, the conversion removes its unfinished WAV: its size
  # is taken just before.
  /usr/bin/time -o "$work/time" -f %M timeout -s TERM "$seconds" "$convert" "$work/livro" livro.txt \
    >/dev/null 2>&1 </dev/null &
  sleep $((seconds - 1))
  wav=$(stat -c %s "$work/livro/WAVMP3/livro.wav" 2>/dev/null || echo 0)
  wait || true
  echo "$mb MB book converted for $seconds s: peak $(tail -1 "$work/time") KB, $((wav / 1048576)) MB of WAV made"
done
