#!/bin/bash
# `varlo book.txt` on a real 250-line UTF-8 book: three parts of 100, 100 and
# 50 text lines and three MP3 files tagged with their track numbers, no
# question asked; a missing book ends with a failure status.
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/projeto"
mkdir -p "$P"
cd "$P"
grep -v '^%' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$' | head -n 250 > book.txt
[ "$(wc -l < book.txt)" -eq 250 ] || fail "fortunes-br gave fewer than 250 lines"
cp book.txt "$WORK/original.txt"

VARLO_CONSOLE=headless timeout 600 "$BUILD/varlo" book.txt < /dev/null > "$WORK/out" 2>&1 \
  || fail "varlo ended with $?: $(tail -3 "$WORK/out")"

# Every line of a part that is not its title or closing line is a book line.
book_lines() { grep -cxFf "$WORK/original.txt" "$1"; }
expect=(100 100 50)
for n in 1 2 3; do
  part=$(printf 'book_%03d.PAR' $n)
  [ -f "$part" ] || fail "missing $part: $(ls)"
  got=$(book_lines "$part")
  [ "$got" -eq "${expect[$((n - 1))]}" ] || fail "$part holds $got book lines"
done
[ ! -e book_004.PAR ] || fail "a fourth part was written"

mp3s=$(find "$P" -name 'book_00[123].mp3' | sort)
[ "$(echo "$mp3s" | grep -c mp3)" -eq 3 ] || fail "MP3 files: $(find "$P" -name '*.mp3')"
n=0
for f in $mp3s; do
  n=$((n + 1))
  # The ID3v2 track frame: "TRCK", size, flags, encoding, then the number
  # (in UTF-16: the zero bytes and the byte-order mark are dropped first).
  track=$(head -c 2000 "$f" | tr -d '\000\376\377' | LC_ALL=C grep -a -o 'TRCK[^0-9]\{0,8\}[0-9]\{1,\}' | LC_ALL=C sed 's/^TRCK[^0-9]*//')
  [ "$track" = "$n" ] || fail "$f has track '$track'"
done
cmp -s book.txt "$WORK/original.txt" || fail "the book was changed"
# The ID3 length frame holds the real length (a 50-line part is shorter
# than a 100-line one), never the encoder's 4294967295 for "unknown".
tlen() {
  python3 - "$1" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
assert data[:3] == b"ID3", "no ID3v2 tag"
size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
at, end = 10, 10 + size
while at + 10 <= end and data[at] != 0:
    n = int.from_bytes(data[at + 4:at + 8], "big")
    if data[3] == 4:
        n = (data[at + 4] << 21) | (data[at + 5] << 14) | (data[at + 6] << 7) | data[at + 7]
    if data[at:at + 4] == b"TLEN":
        print(data[at + 11:at + 10 + n].replace(b"\0", b"").decode("latin-1").lstrip("\xff\xfe"))
    at += 10 + n
PY
}
long=$(tlen "$(echo "$mp3s" | sed -n 1p)") short=$(tlen "$(echo "$mp3s" | sed -n 3p)")
for ms in $long $short; do
  [ "$ms" != 4294967295 ] || fail "the MP3 length frame says 4294967295"
done
if [ -n "$long$short" ]; then
  [ "$short" -gt 1000 ] && [ "$long" -gt "$short" ] || fail "length frames: 100 lines $long ms, 50 lines $short ms"
fi
# Where the MP3s went is printed last, after the screen is given back.
folder=$(dirname "$(echo "$mp3s" | head -n 1)")
tail -n 1 "$WORK/out" | grep -qxF "varlo: Os arquivos de áudio estão na pasta $folder" ||
  fail "the folder $folder was not told: $(tail -n 2 "$WORK/out")"

# A book that is not there: said, and the exit status tells a batch caller.
VARLO_CONSOLE=headless timeout 60 "$BUILD/varlo" nao_existe.txt < /dev/null > "$WORK/out" 2>&1
status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "a missing book ended with status $status"
echo PASS
