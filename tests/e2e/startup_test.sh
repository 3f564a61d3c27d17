#!/bin/bash
# Start-up as a user meets it: greeting, project prompt, menu prompt, F1,
# invalid keys (a letter, F2, Alt+letter), ESC, and the terminal left
# usable; a second instance says the program is already open; the command
# line answers --help, --version and a mistyped option in words.
. "$(dirname "$0")/tmux_lib.sh"
mkdir -p "$WORK/projeto"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"

# The shell after the program prints the terminal settings and waits.
start main "$BUILD/varlo; stty -a > $WORK/stty.txt; tput rmcup; echo FIM-DO-TESTE; sleep 30"
wait_for "VARLO KET - V.2.2 BETA"
wait_for "diretório"
keys Enter
wait_prompt
screen | grep -qF "Total de arquivo(s) a converter --- 1" || fail "no file count"

# A second instance ends at once, says the program is already open, and
# tells its caller by its status; a one-shot job says why on standard error
# and converts nothing.
out=$(timeout 10 "$BUILD/varlo" </dev/null 2>&1); rc=$?
[ $rc -ne 0 ] && [ $rc -ne 124 ] || fail "second instance exit code $rc"
echo "$out" | grep -q "já está aberto" || fail "second instance did not say why: '$out'"
out=$(timeout 10 "$BUILD/varlo" livro.txt </dev/null 2>&1 >/dev/null); rc=$?
[ $rc -ne 0 ] && [ $rc -ne 124 ] || fail "second one-shot job exit code $rc"
echo "$out" | grep -q "outra cópia do VARLO" || fail "second one-shot job did not say why: $out"
[ ! -e livro_001.PAR ] || fail "second one-shot job divided the book"

# Options are read before the lock: they answer while a copy runs, and a
# mistyped one is named with the usage line instead of a bare failure.
out=$(timeout 10 "$BUILD/varlo" --formato x livro.txt </dev/null 2>&1); rc=$?
[ $rc -eq 2 ] || fail "unknown format exit code $rc"
echo "$out" | grep -q "formato de livro desconhecido: x" && echo "$out" | grep -q "^Uso: varlo" ||
  fail "unknown format said: '$out'"
out=$(timeout 10 "$BUILD/varlo" --fomato mp3 livro.txt </dev/null 2>&1); rc=$?
[ $rc -eq 2 ] && echo "$out" | grep -q "opção desconhecida: --fomato" || fail "unknown option ($rc): '$out'"
out=$(timeout 10 "$BUILD/varlo" --formato </dev/null 2>&1); rc=$?
[ $rc -eq 2 ] && echo "$out" | grep -q "^Uso: varlo" || fail "--formato without a value ($rc): '$out'"
out=$(timeout 10 "$BUILD/varlo" --help </dev/null 2>/dev/null); rc=$?
[ $rc -eq 0 ] && echo "$out" | grep -q "^Uso: varlo" || fail "--help ($rc): '$out'"
out=$(timeout 10 "$BUILD/varlo" --version </dev/null 2>/dev/null); rc=$?
[ $rc -eq 0 ] && [ "$out" = "VARLO KET 2.2 BETA" ] || fail "--version ($rc): '$out'"
[ ! -e livro_001.PAR ] || fail "an option run divided the book"

keys F1
wait_for "Opções nas teclas:"
wait_for "E   Executar script"
# Keys typed while the listing is said are discarded at its end.
wait_prompt
keys x
wait_for "Opção inválida, aperte F1 para ajuda" 30
# F2 and Alt+letters are no options either: said so, not passed over.
wait_prompt
keys F2
wait_count "Opção inválida, aperte F1 para ajuda" 2 30
wait_prompt
keys M-b
wait_count "Opção inválida, aperte F1 para ajuda" 3 30
wait_prompt
keys Escape
wait_for "Fim do programa"
wait_for "FIM-DO-TESTE"
grep -q ' echo ' "$WORK/stty.txt" && ! grep -q -- '-echo ' "$WORK/stty.txt" || fail "echo not restored: $(cat $WORK/stty.txt)"
grep -q ' icanon' "$WORK/stty.txt" || fail "terminal left in raw mode"
echo PASS
