#!/bin/bash
# A project directory typed as a relative path or with "~": the program
# works in it by its full path, so that conversion finds the texts after
# changing into the audio directory.
. "$(dirname "$0")/tmux_lib.sh"
mkdir -p "$WORK/base/livros" "$HOME/meus livros"
printf 'Texto relativo.\n' > "$WORK/base/livros/a.txt"
printf 'Texto em casa.\n' > "$HOME/meus livros/b.txt"
cd "$WORK/base"

start main "$BUILD/varlo; echo PROGRAMA-ENCERRADO; sleep 60"
wait_for "Pressionando ENTER"
keys C-y livros Enter
wait_for "OK, irei trabalhar em : $WORK/base/livros"
wait_prompt
keys c
wait_for "Digite W para converter" 30
sleep 1
keys w
wait_prompt 60
screen | grep -qF "Problemas na abertura" && fail "the text was not found"
[ -s "$WORK/base/livros/WAVMP3/a.wav" ] || fail "no WAV written"
keys Escape
wait_for PROGRAMA-ENCERRADO 30

WINDOW=home start home "cd $WORK/base; $BUILD/varlo; sleep 60"
WINDOW=home wait_for "Pressionando ENTER"
WINDOW=home keys C-y "~/meus livros" Enter
WINDOW=home wait_for "OK, irei trabalhar em : $HOME/meus livros"
WINDOW=home wait_for "Total de arquivo(s) a converter --- 1"
[ ! -e "$WORK/base/~" ] || fail "a directory named ~ was made"
echo PASS
