#!/bin/bash
# The questions that edit a phrase or a directory in place: after ESC, or
# a directory that cannot be used, the answer is written on a line of its
# own, not over the text that was being edited.
. "$(dirname "$0")/tmux_lib.sh"
mkdir -p "$WORK/projeto"
printf 'Um texto.\n' > "$WORK/projeto/livro.txt"
cd "$WORK/projeto"

# The line just above the last one.
line_before_last() { screen | grep -v '^ *$' | tail -n 2 | head -n 1 | sed 's/ *$//'; }

start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys Enter
wait_prompt

# Option V: ESC at the phrase gives up.
start_voice_trial 5
sleep 1
keys Escape
wait_prompt 30
[ "$(line_before_last)" = "Desistiu" ] || fail "V: 'Desistiu' not on its own line: '$(line_before_last)'"
screen | grep -qF 'AJUSTE SAPI: TESTE - "Poderei converter' || fail "V: the phrase was written over"

# Option A: leave the form, then ESC at the test phrase.
keys a
wait_for "Motor do programa :" 30
keys Escape
wait_for "Digite uma frase ou pressione ENTER" 60
sleep 1
keys Escape
wait_prompt 60
[ "$(line_before_last)" = "OK, ajustado" ] || fail "A: 'OK, ajustado' not on its own line: '$(line_before_last)'"
screen | grep -qF 'AJUSTE SAPI: TESTE - "Irei converter' || fail "A: the phrase was written over"
keys Escape
wait_for PROGRAMA-ENCERRADO 30

# A project "directory" that is a file: the error goes below the typed path.
WINDOW=file start file "cd $WORK/projeto; $BUILD/varlo; sleep 60"
WINDOW=file wait_for "Pressionando ENTER"
WINDOW=file keys C-y "$WORK/projeto/livro.txt" Enter
WINDOW=file wait_for "Fim do programa" 30
WINDOW=file screen | grep -qxF "$WORK/projeto/livro.txt" || WINDOW=file fail "the typed path was written over"
WINDOW=file screen | grep -qF -- "- ERRO - Function TrocaDir" || WINDOW=file fail "no error said"
echo PASS
