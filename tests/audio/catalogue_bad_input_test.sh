#!/bin/bash
# A catalogue given bad books converts the good ones and tells, in the
# manifest and on standard error, why each bad one was not: a text that
# cannot be read, a file that is not text, two books whose folders would be
# one. A destination inside the source is refused before anything is made.
# A manifest cut short or edited by hand is rebuilt from the finished books,
# with nothing deleted or made again; a book whose text changed is made again.
set -u
varlo=$(realpath "$1/varlo")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FALHA: $*"; exit 1; }

export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" VARLO_CONSOLE=headless \
  VARLO_AUDIO=null
mkdir -p "$XDG_CONFIG_HOME/murena" "$XDG_RUNTIME_DIR" "$work/origem"
printf '[VARLO]\nQUEBRARLINHA=4\nCLEK=NAO\n' > "$XDG_CONFIG_HOME/murena/Murena.ini"
O="$work/origem"
D="$work/destino"
printf 'Era uma vez.\nFim.\n' > "$O/bom.txt"
printf 'Outro livro bom.\n' > "$O/Meu Livro.txt"
printf 'Quase o mesmo nome.\n' > "$O/meu_livro.txt"
head -c 3000 /bin/sh > "$O/programa.txt"
# A file every read of which fails, even for root.
ln -s /proc/self/mem "$O/ilegivel.txt"
reason() {
  awk -v b="$1" '/^livro /{on=($2==b)} on && /^  motivo /{sub(/^  motivo /, ""); print}' \
    "$D/manifesto.txt"
}

# Refused: the destination inside the source, or the source itself.
for inside in "$O/saida" "$O"; do
  "$varlo" --catalogo "$O" "$inside" 2>"$work/erros" && fail "destino $inside aceito"
  grep -q 'dentro da pasta de origem' "$work/erros" || fail "sem motivo: $(cat "$work/erros")"
done
[ ! -e "$O/saida" ] || fail "a pasta recusada foi criada"
"$varlo" --catalogo "$work/nao-existe" "$D" 2>"$work/erros" && fail "origem inexistente aceita"
grep -q 'não existe' "$work/erros" || fail "sem motivo: $(cat "$work/erros")"

"$varlo" --catalogo "$O" "$D" 2>"$work/erros" && fail "terminou com 0 havendo livros ruins"
[ -n "$(ls "$D/bom")" ] || fail "o livro bom não foi feito"
[[ "$(reason programa)" == *"não é um texto"* ]] || fail "programa: $(reason programa)"
[[ "$(reason ilegivel)" == *"ler"* ]] || fail "ilegivel: $(reason ilegivel)"
for b in Meu_Livro meu_livro; do
  [[ "$(reason $b)" == *"seria a mesma"* ]] || fail "$b: $(reason $b)"
  [ ! -e "$D/$b" ] || fail "um dos livros de nome igual foi feito"
done
grep -q 'programa.txt falhou: o arquivo não é um texto' "$work/erros" ||
  fail "a falha não foi dita: $(cat "$work/erros")"
grep -q 'com falha: 4' <("$varlo" --catalogo --estado "$D") || fail "o estado não conta 4 falhas"

# Cut short, then edited by hand: rebuilt, the finished book kept as it was.
made=$(stat -c %i "$D/bom")
head -c 200 "$D/manifesto.txt" > "$work/cortado" && mv "$work/cortado" "$D/manifesto.txt"
"$varlo" --catalogo --estado "$D" 2>"$work/erros" && fail "estado de um manifesto cortado"
grep -q 'não há um manifesto inteiro' "$work/erros" || fail "sem aviso: $(cat "$work/erros")"
for damage in cut edit; do
  [ $damage = edit ] && sed -i 's/^  estado feito$/  estado esperando/' "$D/manifesto.txt"
  "$varlo" --catalogo "$O" "$D" 2>"$work/erros"
  grep -q 'foi refeito a partir dos livros prontos' "$work/erros" || fail "$damage: sem aviso"
  [ -f "$D/manifesto.txt.danificado" ] || fail "$damage: o manifesto antigo não foi guardado"
  grep -q ', 0 a converter' "$work/erros" || fail "$damage: refez livros: $(cat "$work/erros")"
  [ "$(stat -c %i "$D/bom")" = "$made" ] || fail "$damage: o livro pronto foi refeito"
done
grep -q '^  estado feito$' "$D/manifesto.txt" || fail "o livro pronto não consta como feito"

# A changed text is made again; its old folder gives way only to the new one.
printf 'Era uma vez outra coisa.\n' > "$O/bom.txt"
"$varlo" --catalogo "$O" "$D" 2>"$work/erros"
grep -q ', 1 a converter' "$work/erros" || fail "o livro mudado não foi refeito: $(cat "$work/erros")"
[ "$(stat -c %i "$D/bom")" != "$made" ] || fail "o livro mudado ficou como era"
echo ok
