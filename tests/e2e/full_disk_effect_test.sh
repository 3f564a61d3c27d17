#!/bin/bash
# A disk that fills up while an effect is joined into a book (here a file
# size limit): the program says so, ends with a failure status a batch caller
# can see, and leaves no scratch or partial WAV behind; the book is untouched.
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/projeto"
mkdir -p "$P"
cd "$P"
printf 'Bom dia.\n#SOM#efeito.wav\nBoa noite.\n' > livro.txt
cp livro.txt "$WORK/original.txt"
sox -n -r 22050 -b 16 -c 1 efeito.wav synth 4 sine 440 || fail "sox could not make the effect"

# Writes past 150 KB fail; the signal that would kill the program is ignored,
# as a full disk sends none.
(trap '' XFSZ; ulimit -f 150; VARLO_CONSOLE=headless timeout 300 "$BUILD/varlo" livro.txt \
  < /dev/null > "$WORK/out" 2>&1)
status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "a full disk ended with status $status: $(tail -5 "$WORK/out")"
left=$(find "$P" -iname 'temp.wav' -o -iname 'arq_wav.$$$' -o -iname 'livro_001.wav')
[ -z "$left" ] || fail "left behind: $left"
cmp -s livro.txt "$WORK/original.txt" || fail "the book was changed"
echo PASS
