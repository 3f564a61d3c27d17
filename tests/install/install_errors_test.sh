#!/bin/bash
# What goes wrong around an installation is told, not met in silence: an
# installed program whose data directory was removed says which directory is
# missing (on stderr and aloud) and ends with status 1, without falling back
# on the source tree's data; an installation into a prefix that cannot be
# written stops with a message before copying anything.
. "$(dirname "$0")/install_lib.sh"
install_into_destdir
rm -rf "$ROOT/share/varlo"
mkdir -p "$WORK/projeto"
cd "$WORK/projeto"
printf 'Um texto.\n' > livro.txt

AUDIO="capture:$WORK/sound" run_installed "$ROOT/bin/varlo" livro.txt < /dev/null \
  > "$WORK/out" 2> "$WORK/err"
status=$?
[ $status -eq 1 ] || fail "status $status with the data directory removed: $(cat "$WORK/err")"
grep -qF "A pasta de dados do VARLO não existe: $ROOT/share/varlo." "$WORK/err" \
  || fail "no message naming the missing directory: $(cat "$WORK/err")"
# A spoken sentence is seconds of sound; a click or nothing is far less.
[ "$(stat -c %s "$WORK/sound" 2>/dev/null || echo 0)" -gt 20000 ] || fail "the message was not spoken"
[ ! -e livro ] && [ ! -e livro_001.PAR ] || fail "the job ran without its data"

# A prefix only root may write, tried by an ordinary user.
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
cd /
"${as_user[@]}" cmake --install "$BUILD" --prefix /usr/lib/varlo-no-access > "$WORK/out" 2>&1 \
  && fail "installing into a read-only prefix succeeded"
grep -q "Cannot install into /usr/lib/varlo-no-access: /usr/lib is not writable" "$WORK/out" \
  || fail "no clear message for a read-only prefix: $(cat "$WORK/out")"
[ ! -e /usr/lib/varlo-no-access ] || fail "files were copied into the read-only prefix"
echo PASS
