#!/bin/bash
# `varlo --formato daisy livro.txt` on a book made from fortunes-br with
# chapter headings, page breaks and markup characters: the DAISY files are
# well-formed, every link resolves, every clip lies inside its decoded MP3
# and follows the one before, and the total time is the MP3s' within a
# second. An encoder that fails leaves no book that looks finished.
. "$(dirname "$0")/tmux_lib.sh"
P="$WORK/projeto"
mkdir -p "$P"
cd "$P"
write_headed_book 150

VARLO_CONSOLE=headless timeout 600 "$BUILD/varlo" --formato daisy livro.txt < /dev/null > "$WORK/out" 2>&1 ||
  fail "varlo ended with $?: $(tail -3 "$WORK/out")"
B="$P/WAVMP3/livro_DAISY"
[ -f "$B/ncc.html" ] || fail "no ncc.html: $(ls -R "$P/WAVMP3")"
[ ! -e "$P/WAVMP3/livro.wav" ] || fail "the whole recording was left behind"
xmllint --noout --nonet "$B"/*.html "$B"/*.smil || fail "a file is not well-formed"

headings=$(grep -o '<h[1-6][^>]*><a [^>]*>[^<]*' "$B/ncc.html" | sed 's/.*>//')
expected=$(printf 'CAPÍTULO %d\n' 1 2 3 4 5; echo 'Notas &lt;&amp;&gt;')
[ "$headings" = "$expected" ] || fail "headings: $headings"

# Every link of the NCC and every text reference of the SMIL files resolves.
for link in $(grep -o 'href="[^"]*"' "$B/ncc.html" | sed 's/href="//; s/"$//') \
            $(cat "$B"/*.smil | grep -o '<text src="[^"]*"' | sed 's/<text src="//; s/"$//'); do
  file=${link%%#*}
  id=${link#*#}
  grep -q "id=\"$id\"" "$B/$file" || fail "link $link does not resolve"
done

# Clips inside their MP3's decoded length, one after another; the MP3s add
# up to ncc:totalTime within a second.
total=0
for smil in "$B"/*.smil; do
  mp3=$(grep -o 'audio src="[^"]*"' "$smil" | head -1 | sed 's/audio src="//; s/"$//')
  lame --quiet --decode "$B/$mp3" "$WORK/decoded.wav" || fail "$mp3 does not decode"
  length=$(soxi -D "$WORK/decoded.wav")
  total=$(echo "$total + $length" | bc -l)
  grep -o 'clip-begin="npt=[0-9.]*s" clip-end="npt=[0-9.]*s"' "$smil" | tr -dc '0-9.\n ' |
    awk -v len="$length" -v f="$smil" '
      { split($0, v, " "); b = v[1]; e = v[2] }
      NR == 1 && b != 0 { print f ": first clip at " b; bad = 1 }
      NR > 1 && b != prev { print f ": gap or overlap at " b " after " prev; bad = 1 }
      e <= b || e > len + 0.05 { print f ": clip " b "-" e " outside " len; bad = 1 }
      { prev = e }
      END { exit bad }' || fail "clips of $smil"
done
stated=$(grep -o 'ncc:totalTime" content="[^"]*"' "$B/ncc.html" | sed 's/.*content="//; s/"$//')
seconds=$(echo "$stated" | awk -F: '{ print $1 * 3600 + $2 * 60 + $3 }')
echo "$total $seconds" | awk '{ d = $1 - $2; if (d < 0) d = -d; exit !(d <= 1) }' ||
  fail "ncc:totalTime $stated against $total s of MP3"
grep -q 'name="ncc:depth" content="1"' "$B/ncc.html" || fail "depth"
grep -q 'name="ncc:pageNormal" content="3"' "$B/ncc.html" || fail "pages: $(grep pageNormal "$B/ncc.html")"

# An encoder that fails: the old book stays as it was, no new one, and the
# exit status says so.
cp -r "$B" "$WORK/before"
mkdir -p "$XDG_CONFIG_HOME/murena"
printf '[VARLO]\nPROG_LAME=false\n' >> "$XDG_CONFIG_HOME/murena/Murena.ini"
VARLO_CONSOLE=headless timeout 600 "$BUILD/varlo" --formato daisy livro.txt < /dev/null > "$WORK/out" 2>&1 &&
  fail "a failed encoder ended with success"
diff -r "$WORK/before" "$B" > /dev/null || fail "the finished book was changed"
[ ! -e "$B.parcial" ] || fail "the unfinished book was left"

# A disk that fills up while the book is recorded (a file size limit): no
# book, no scratch left, and a failure status.
rm -rf "$B" "$WORK/before"
sed -i '/PROG_LAME=false/d' "$XDG_CONFIG_HOME/murena/Murena.ini"
(ulimit -f 200; trap '' XFSZ
 VARLO_CONSOLE=headless timeout 600 "$BUILD/varlo" --formato daisy livro.txt < /dev/null > "$WORK/out" 2>&1) &&
  fail "a full disk ended with success"
[ ! -e "$B" ] && [ ! -e "$B.parcial" ] || fail "a book was left: $(ls "$P/WAVMP3")"
[ ! -e "$P/WAVMP3/livro.wav" ] || fail "the cut recording was left"
echo PASS
