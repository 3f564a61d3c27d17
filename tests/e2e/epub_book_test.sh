#!/bin/bash
# `varlo --formato epub livro.txt` on a book made from fortunes-br with
# chapter headings, page breaks and markup characters: epubcheck finds no
# error and no warning, and each overlay's duration is its decoded MP3's.
# An encoder that fails and a disk that fills up leave no book that looks
# finished and no scratch.
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/projeto"
mkdir -p "$P"
cd "$P"
write_headed_book 90

# The package's command needs the kernel to run jar files; the same jar
# through java does not.
epubcheck() { java -jar /usr/share/java/epubcheck.jar "$@"; }

VARLO_CONSOLE=headless timeout 600 "$BUILD/varlo" --formato epub livro.txt < /dev/null > "$WORK/out" 2>&1 ||
  fail "varlo ended with $?: $(tail -3 "$WORK/out")"
E="$P/WAVMP3/livro.epub"
[ -f "$E" ] || fail "no livro.epub: $(ls "$P/WAVMP3")"
[ "$(ls "$P/WAVMP3")" = livro.epub ] || fail "left beside the book: $(ls "$P/WAVMP3")"
epubcheck "$E" > "$WORK/check" 2>&1 || fail "epubcheck: $(cat "$WORK/check")"
grep -q 'No errors or warnings detected' "$WORK/check" || fail "epubcheck: $(cat "$WORK/check")"

mkdir "$WORK/x"
(cd "$WORK/x" && python3 -m zipfile -e "$E" .) || fail "the book does not unpack"
C="$WORK/x/EPUB"
[ "$(grep -c "<itemref" "$C/package.opf")" = 4 ] || fail "sections: $(grep itemref "$C/package.opf")"
for smil in "$C"/*.smil; do
  id=$(grep -o "id=\"[^\"]*\" href=\"$(basename "$smil")\"" "$C/package.opf" | sed 's/id="//; s/".*//')
  stated=$(grep -o "refines=\"#$id\">[^<]*" "$C/package.opf" | sed 's/.*>//')
  mp3=$(grep -o 'audio src="[^"]*"' "$smil" | head -1 | sed 's/audio src="//; s/"$//')
  lame --quiet --decode "$C/$mp3" "$WORK/decoded.wav" || fail "$mp3 does not decode"
  length=$(soxi -D "$WORK/decoded.wav")
  echo "$stated $length" | awk '{ split($1, t, ":"); d = t[1] * 3600 + t[2] * 60 + t[3] - $2
                                  if (d < 0) d = -d; exit !(d <= 0.05) }' ||
    fail "$smil lasts $stated, its MP3 $length s"
done
grep -q '<h1 id="s004_0">Notas &lt;&amp;&gt;</h1>' "$C/s004.xhtml" || fail "the escaped heading"

# An encoder that fails: the old book stays as it was, and the status says so.
cp "$E" "$WORK/before.epub"
mkdir -p "$XDG_CONFIG_HOME/murena"
printf '[VARLO]\nPROG_LAME=false\n' >> "$XDG_CONFIG_HOME/murena/Murena.ini"
VARLO_CONSOLE=headless timeout 600 "$BUILD/varlo" --formato epub livro.txt < /dev/null > "$WORK/out" 2>&1 &&
  fail "a failed encoder ended with success"
cmp -s "$WORK/before.epub" "$E" || fail "the finished book was changed"
[ "$(ls "$P/WAVMP3")" = livro.epub ] || fail "left beside the book: $(ls "$P/WAVMP3")"

# A disk that fills up (a file size limit): no book, no scratch, a failure.
rm -f "$E"
sed -i '/PROG_LAME=false/d' "$XDG_CONFIG_HOME/murena/Murena.ini"
(ulimit -f 300; trap '' XFSZ
 VARLO_CONSOLE=headless timeout 600 "$BUILD/varlo" --formato epub livro.txt < /dev/null > "$WORK/out" 2>&1) &&
  fail "a full disk ended with success"
[ -z "$(ls "$P/WAVMP3")" ] || fail "left after a full disk: $(ls "$P/WAVMP3")"
echo PASS
