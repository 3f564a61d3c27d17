#!/bin/bash
# Two catalogue runs on one destination at once: each book is made by one of
# them, the other waits for it, and the manifest they both rewrite loses no
# book's state.
set -u
varlo=$(realpath "$1/varlo")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/catalogue_lib.sh"
fail() { echo "FALHA: $*"; tail -5 "$work"/erros-*; exit 1; }

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless \
  VARLO_AUDIO=null
mkdir -p "$XDG_CONFIG_HOME/murena" "$XDG_RUNTIME_DIR" "$work/origem"
printf '[VARLO]\nQUEBRARLINHA=4\nCLEK=NAO\n' > "$XDG_CONFIG_HOME/murena/Murena.ini"
for n in 1 2 3 4 5; do printf 'Livro número %d.\nTem duas linhas.\n' $n > "$work/origem/l$n.txt"; done
D="$work/destino"

"$varlo" --catalogo "$work/origem" "$D" 2>"$work/erros-a" &
a=$!
"$varlo" --catalogo "$work/origem" "$D" 2>"$work/erros-b" &
b=$!
wait $a || fail "a primeira volta falhou"
wait $b || fail "a segunda volta falhou"
[ "$(states | grep -c ' feito$')" -eq 5 ] || fail "manifesto: $(states)"
[ "$(ls "$D"/*/*.mp3 | wc -l)" -eq 5 ] || fail "MP3: $(ls "$D"/*/)"
# Each book was made by one run only: their progress lines count five in all.
made=$(cat "$work"/erros-? | grep -c 'livros prontos')
[ "$made" -eq 5 ] || fail "livros tomados $made vezes em vez de 5"
echo ok
