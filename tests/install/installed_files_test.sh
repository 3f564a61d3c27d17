#!/bin/bash
# What the installation puts beside the programs: the manual pages render
# without a warning, the menu entry and the AppStream data pass Debian's
# validators and name an installed program, and the installed varlo-script
# runs a script.
. "$(dirname "$0")/install_lib.sh"
install_into_destdir

for page in varlo varlo-script; do
  file="$ROOT/share/man/man1/$page.1"
  [ -f "$file" ] || fail "missing manual page $file"
  warnings=$(groff -ww -man -Tutf8 -z "$file" 2>&1)
  [ -z "$warnings" ] || fail "groff warns on $page.1: $warnings"
  text=$(MANWIDTH=80 man --warnings=w -l "$file" 2>"$WORK/man.err") || fail "man -l $page.1 failed"
  [ -s "$WORK/man.err" ] && fail "man -l $page.1 warns: $(cat "$WORK/man.err")"
  for heading in NOME SINOPSE DESCRIÇÃO ENGLISH; do
    grep -q "^$heading" <<<"$text" || fail "$page.1 has no $heading section"
  done
done

desktop="$ROOT/share/applications/org.varloket.varlo.desktop"
metainfo="$ROOT/share/metainfo/org.varloket.varlo.metainfo.xml"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$ROOT/bin/$exec_program" ] || fail "the menu entry starts '$exec_program', which is not installed"
grep -q "<launchable type=\"desktop-id\">org.varloket.varlo.desktop</launchable>" "$metainfo" \
  || fail "the AppStream data does not name the menu entry"

printf 'ESCREVE "instalado"\n' > "$WORK/ola.cmd"
out=$(run_installed "$ROOT/bin/varlo-script" "$WORK/ola.cmd" < /dev/null 2>&1) \
  || fail "installed varlo-script ended with $?: $out"
grep -q instalado <<<"$out" || fail "installed varlo-script printed: $out"
echo PASS
