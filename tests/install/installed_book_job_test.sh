#!/bin/bash
# The installed `varlo livro.txt`, run from a project directory elsewhere with
# a clean environment, reads the installed settings default and voice data and
# makes the MP3 parts; neither the job nor a start ended with Esc creates the
# user's settings file.
. "$(dirname "$0")/install_lib.sh"
install_into_destdir
# Short parts from the installed default, so that only the installed data can
# make this book divide into three.
sed -i 's/^QUEBRARLINHA=.*/QUEBRARLINHA=4/' "$ROOT/share/varlo/Murena.ini"

P="$WORK/projeto"
mkdir -p "$P"
grep -v '^%' /usr/share/games/fortunes/brasil | grep -v '^[[:space:]]*$' | head -n 10 > "$P/livro.txt"
cd "$P"
run_installed "$ROOT/bin/varlo" livro.txt < /dev/null > "$WORK/out" 2>&1 \
  || fail "varlo livro.txt ended with $?: $(tail -c 400 "$WORK/out")"

for n in 1 2 3; do
  mp3="$P/livro/livro_00$n.mp3"
  [ -s "$mp3" ] || fail "missing $mp3: $(find "$P" -type f)"
  head -c 3 "$mp3" | grep -q '^ID3' || fail "$mp3 is no MP3 file"
done
[ ! -e "$P/livro_004.PAR" ] || fail "a fourth part was written"
[ ! -e "$WORK/home/.config/murena/Murena.ini" ] || fail "the job wrote the user's settings file"

# A plain start, left with Esc at the project prompt: it ends well and
# writes no settings either.
printf '\033' | run_installed "$ROOT/bin/varlo" > "$WORK/out" 2>&1 \
  || fail "the installed program ended with $? after Esc: $(tail -c 400 "$WORK/out")"
[ ! -e "$WORK/home/.config/murena/Murena.ini" ] || fail "a start wrote the user's settings file"
echo PASS
