#!/bin/bash
# BAIXA and CONECTA SSL against small servers on the loopback: a 5 MB file
# arrives whole, redirects are followed (but never from HTTPS down to HTTP,
# and not for ever), HTTPS works with a certificate of a test CA named in
# the settings and is refused under a host name the certificate does not
# carry, when the CA is not trusted or when the certificate has expired; a
# body cut short, a server that stops sending or drips its bytes, an error
# page or oversized headers never leave a file under the target name; a FIFO
# at the target is never replaced, and a link planted at the scratch name is
# never followed.
# Usage: download_test.sh BUILD_DIR
set -u
BUILD=${1:?build directory}
RUNNER="$(cd "$BUILD" && pwd)/varlo-script"
HERE="$(cd "$(dirname "$0")" && pwd)"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
WORK=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
mkdir -p files cfg/murena out

# A test CA and a server certificate for "localhost" only.
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
  -subj "/CN=Teste VARLO CA" -keyout ca.key -out ca.pem 2>/dev/null
openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj "/CN=localhost" \
  -keyout server.key -out server.csr 2>/dev/null
printf 'subjectAltName=DNS:localhost\n' > san.cnf
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
  -extfile san.cnf -out server.pem 2>/dev/null
# The same key in a certificate that expired long ago.
mkdir -p ca && touch ca/index.txt && echo 01 > ca/serial
printf '%s\n' '[ca]' 'default_ca = teste' '[teste]' 'database = ca/index.txt' 'serial = ca/serial' \
  'new_certs_dir = ca' 'default_md = sha256' 'policy = livre' '[livre]' 'commonName = supplied' > ca.cnf
openssl ca -batch -notext -config ca.cnf -cert ca.pem -keyfile ca.key -in server.csr -extfile san.cnf \
  -startdate 20200101000000Z -enddate 20200102000000Z -out expired.pem 2>/dev/null
[ -s server.pem ] && [ -s expired.pem ] || { echo "openssl could not make the test certificates"; exit 1; }

head -c 5000000 /dev/urandom > files/livro.bin
mkfifo out/fila
printf 'capítulo 1\n' > files/pequeno.txt

python3 "$HERE/http_test_server.py" files http.port & pids+=($!)
python3 "$HERE/http_test_server.py" files https.port server.pem server.key & pids+=($!)
python3 "$HERE/http_test_server.py" files expired.port expired.pem server.key & pids+=($!)
for f in http.port https.port expired.port; do
  for _ in $(seq 100); do [ -s $f ] && break; sleep 0.05; done
done
HTTP=$(cat http.port)
HTTPS=$(cat https.port)
EXPIRED=$(cat expired.port)

failed=0
# run NAME SETTINGS SCRIPT-TEXT EXPECTED-OUTPUT
run() {
  printf '[MURENA]\nTIMEOUT_REDE=%s\n%s\n' "${TIMEOUT:-3000}" "$2" > cfg/murena/Murena.ini
  printf '%s\n' "$3" > "$1.scr"
  local got
  got=$(XDG_CONFIG_HOME="$WORK/cfg" timeout 30 "$RUNNER" "$1.scr" 2>&1 </dev/null)
  if [ "$got" != "$4" ]; then
    echo "FALHOU: $1"
    echo "--- esperado:"; printf '%s\n' "$4"
    echo "--- obtido:"; printf '%s\n' "$got"
    failed=1
  fi
}
trusted="CA_REDE=$WORK/ca.pem"
error() { printf 'Erro no script %s, linha %s:\n%s\nErro de execução do script' "$1" "$2" "$3"; }

run grande "" "BAIXA \"http://127.0.0.1:$HTTP/arquivos/livro.bin\" \"out/livro.bin\"" \
"Baixando 5000000 bytes, conteúdo = text/plain
Conteúdo baixado e guardado em out/livro.bin"
cmp -s files/livro.bin out/livro.bin || { echo "FALHOU: o arquivo de 5 MB chegou diferente"; failed=1; }

ln -s ../files/pequeno.txt out/ligado.txt.baixando
run ligado "" "BAIXA MUDO \"http://127.0.0.1:$HTTP/arquivos/livro.bin\" \"out/ligado.txt\"
CHECA S
ESCREVE S" "0"
cmp -s files/livro.bin out/ligado.txt && [ "$(cat files/pequeno.txt)" = "capítulo 1" ] ||
  { echo "FALHOU: o nome temporário seguiu a ligação plantada"; failed=1; }

run desvio "" "BAIXA MUDO \"http://[::1]:$HTTP/desvio/3/arquivos/pequeno.txt\" \"out/desvio.txt\"
CHECA S
ESCREVE S" "0"
cmp -s files/pequeno.txt out/desvio.txt || { echo "FALHOU: o desvio não foi seguido"; failed=1; }

run desvios_demais "" "BAIXA MUDO \"http://127.0.0.1:$HTTP/desvio/6/arquivos/pequeno.txt\" \"out/demais.txt\"
CHECA S
ESCREVE S" "1"

run seguro "$trusted" "BAIXA \"https://localhost:$HTTPS/arquivos/pequeno.txt\" \"out/seguro.txt\"" \
"Baixando 12 bytes, conteúdo = text/plain
Conteúdo baixado e guardado em out/seguro.txt"
cmp -s files/pequeno.txt out/seguro.txt || { echo "FALHOU: o arquivo seguro chegou diferente"; failed=1; }

run outro_nome "$trusted" "BAIXA \"https://127.0.0.1:$HTTPS/arquivos/pequeno.txt\" \"out/nome.txt\"" \
"$(error OUTRO_NOME.SCR 1 "Não foi possível estabelecer conexão
certificado do servidor recusado: IP address mismatch")"

run sem_ca "" "BAIXA \"https://localhost:$HTTPS/arquivos/pequeno.txt\" \"out/sem_ca.txt\"" \
"$(error SEM_CA.SCR 1 "Não foi possível estabelecer conexão
certificado do servidor recusado: unable to get local issuer certificate")"

run vencido "$trusted" "BAIXA \"https://localhost:$EXPIRED/arquivos/pequeno.txt\" \"out/vencido.txt\"" \
"$(error VENCIDO.SCR 1 "Não foi possível estabelecer conexão
certificado do servidor recusado: certificate has expired")"

run linhas_seguras "$trusted" "CONECTA SSL #1 \"localhost\" $HTTPS
ESCREVE #1 \"GET /arquivos/pequeno.txt HTTP/1.0\"
ESCREVE #1 \"\"
LE #1 STATUS
ESCREVE STATUS" "HTTP/1.0 200 OK"

run conexao_recusada "$trusted" "CONECTA SSL #1 \"127.0.0.1\" $HTTPS" \
"$(error CONEXAO_RECUSADA.SCR 1 "Erro ao tentar conexão TCP
certificado do servidor recusado: IP address mismatch")"

run para_http "$trusted" "BAIXA MUDO \"https://localhost:$HTTPS/parahttp\" \"out/parahttp.txt\"
CHECA S
ESCREVE S" "1"

run curto "" "BAIXA \"http://127.0.0.1:$HTTP/curto\" \"out/curto.txt\"" \
"Baixando 1000 bytes, conteúdo = text/plain
$(error CURTO.SCR 1 "Tamanho previsto = 1000; tamanho baixado = 11")"

run enorme "" "BAIXA \"http://127.0.0.1:$HTTP/enorme\" \"out/enorme.txt\"" \
"Baixando 999999999999 bytes, conteúdo = 
$(error ENORME.SCR 1 "Tamanho previsto = 999999999999; tamanho baixado = 3")"

run negativo "" "BAIXA MUDO \"http://127.0.0.1:$HTTP/negativo\" \"out/negativo.txt\"
ABRE #1 \"out/negativo.txt\"
LE #1 X
ESCREVE X" "abc"

TIMEOUT=300 run parado "" "BAIXA \"http://127.0.0.1:$HTTP/parado\" \"out/parado.txt\"" \
"Baixando (tamanho desconhecido), conteúdo = text/plain
$(error PARADO.SCR 1 "Não foi possível estabelecer conexão
o servidor parou de enviar antes do fim")"

# A server dripping a byte at a time holds neither the head nor the body
# past TIMEOUT_REDE (here one second) however long it goes on.
TIMEOUT=1000 run gotejando "" "BAIXA \"http://127.0.0.1:$HTTP/gotejando\" \"out/gotejando.txt\"" \
"Baixando 40 bytes, conteúdo = text/plain
$(error GOTEJANDO.SCR 1 "Não foi possível estabelecer conexão
o servidor envia devagar demais")"

TIMEOUT=1000 run cabeca_lenta "" "BAIXA \"http://127.0.0.1:$HTTP/cabeca_lenta\" \"out/cabeca_lenta.txt\"" \
"$(error CABECA_LENTA.SCR 1 "Não foi possível estabelecer conexão
o servidor demorou demais para responder")"

# A device at the target is never replaced by the download.
run dispositivo "" "BAIXA MUDO \"http://127.0.0.1:$HTTP/arquivos/pequeno.txt\" \"out/fila\"
CHECA S
ESCREVE S" "1"
[ -p out/fila ] || { echo "FALHOU: a FIFO de destino foi substituída"; failed=1; }

run cabecalhos "" "BAIXA \"http://127.0.0.1:$HTTP/cabecalhos\" \"out/cabecalhos.txt\"" \
"$(error CABECALHOS.SCR 1 "Não foi possível estabelecer conexão
cabeçalhos grandes demais")"

run ausente "" "BAIXA \"http://127.0.0.1:$HTTP/arquivos/nada\" \"out/ausente.txt\"" \
"$(error AUSENTE.SCR 1 "Não foi possível estabelecer conexão
o servidor respondeu: HTTP/1.0 404 Not Found")"

run sem_pasta "" "BAIXA \"http://127.0.0.1:$HTTP/arquivos/pequeno.txt\" \"out/nao/ha/pasta.txt\"" \
"$(error SEM_PASTA.SCR 1 "Erro na criação do arquivo out/nao/ha/pasta.txt")"

for f in curto enorme parado gotejando cabeca_lenta cabecalhos ausente nome sem_ca vencido parahttp demais; do
  [ -e out/$f.txt ] && { echo "FALHOU: ficou o arquivo out/$f.txt"; failed=1; }
done
leftovers=$(ls out | grep -c baixando)
[ "$leftovers" = 0 ] || { echo "FALHOU: sobraram arquivos temporários: $(ls out)"; failed=1; }

[ $failed = 0 ] && echo "downloads ok"
exit $failed
