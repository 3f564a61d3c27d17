# Helpers of the catalogue tests; $D is the catalogue's destination folder.

# The state of each book in the manifest, one "folder state" per line.
states() { awk '/^livro /{b=$2} /^  estado /{print b, $2}' "$D/manifesto.txt" 2>/dev/null; }

# Two folders hold the same book: the same files, each MP3 of the same
# length (its ID3 length frame) and size within a few per cent. The one-shot
# job does not give the same bytes twice, nor quite the same length (a few
# milliseconds), for one text converted twice with the same settings.
same_book() {
  local a b m
  a=$(cd "$1" && ls); b=$(cd "$2" && ls)
  [ -n "$a" ] && [ "$a" = "$b" ] || fail "$1: arquivos diferentes: $a / $b"
  for m in $a; do
    python3 - "$1/$m" "$2/$m" <<'PY' || fail "$1/$m difere"
import os, re, sys
def length(path):
    head = open(path, 'rb').read(4096)
    found = re.search(rb'TLEN.{6}\x00(\d+)', head, re.S)
    return found and int(found.group(1))
a, b = sys.argv[1:]
assert length(a) and abs(length(a) - length(b)) <= 0.02 * length(b), (length(a), length(b))
assert abs(os.path.getsize(a) - os.path.getsize(b)) <= 0.05 * os.path.getsize(b)
PY
  done
}

