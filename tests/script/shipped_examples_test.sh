#!/bin/bash
# The example scripts shipped with the program run as their comments say,
# fed their keys on standard input; the download is served from this machine.
# Usage: shipped_examples_test.sh BUILD_DIR
set -u
BUILD=${1:?build directory}
RUNNER="$(cd "$BUILD" && pwd)/varlo-script"
EXAMPLES="$(cd "$(dirname "$0")/../../data/scripts" && pwd)"
WORK=$(mktemp -d)
SERVER=
cleanup() {
  [ -n "$SERVER" ] && kill "$SERVER" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

# Runs example $1 with input $2; fails unless it ends with status 0.
run() {
  printf "$2" | VARLO_AUDIO=none timeout 20 "$RUNNER" "$EXAMPLES/$1" inicia > "$WORK/out" 2>&1 ||
    fail "$1 ended with status $?: $(cat "$WORK/out")"
}
has() { grep -qF -- "$1" "$WORK/out" || fail "no '$1' in: $(cat "$WORK/out")"; }

run saudacao.cmd 'Maria\n'
has "Bom dia, Maria"

# Dividing by zero is refused and the calculator goes on.
run calculadora.cmd '7\n/\n2\n5\n/\n0\n6\n*\n7\n\n'
has "7 dividido por 2 é igual a 3 e sobra 1"
has "Não se divide por zero."
has "6 vezes 7 é igual a 42"
has "Fim da calculadora."

run relogio.cmd 'dt12:5\n\033'
has "Hoje é"
has "Digite o horário como 07:30."
has "Até logo."

# The search starts after the current line and ignores letter case.
printf 'um gato\ndois\ntrês GATOS\nquatro\n' > livro.txt
run leitor.cmd 'livro.txt\nbgato\nnx\033'
has "livro.txt tem 4 linhas."
has "Linha 3 : três GATOS"
has "Não achei gato"
run leitor.cmd 'nada.txt\n'
has "Não consegui abrir nada.txt"

mkdir site
printf 'linha 1\nlinha 2\n' > site/livro.txt
python3 -m http.server 0 --bind 127.0.0.1 --directory site > server.log 2>&1 &
SERVER=$!
for _ in $(seq 50); do grep -q "port" server.log && break; sleep 0.1; done
PORT=$(sed -n 's/.*port \([0-9]*\).*/\1/p' server.log | head -n 1)
[ -n "$PORT" ] || fail "the local server did not start: $(cat server.log)"
run baixar.cmd "http://127.0.0.1:$PORT/livro.txt\n\n"
has "Pronto: livro.txt tem 2 linhas."
cmp -s livro.txt site/livro.txt || fail "the download differs from the served file"
# A missing page is said, and the script ends normally.
run baixar.cmd "http://127.0.0.1:$PORT/falta.txt\n\n"
has "O arquivo não foi baixado"
[ ! -e falta.txt ] || fail "a file was left for a failed download"
echo PASS
