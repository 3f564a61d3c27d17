#!/bin/bash
# Two varlo-script processes talk over the loopback: one serves a port and
# accepts, the other connects; lines go both ways, waiting input is observed
# before and after it arrives, and both ends read their addresses back.
# Usage: conversation_test.sh BUILD_DIR
set -u
BUILD=${1:?build directory}
RUNNER="$(cd "$BUILD" && pwd)/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
WORK=$(mktemp -d)
server_pid=
trap '[ -n "$server_pid" ] && kill $server_pid 2>/dev/null; rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1
mkdir -p cfg/murena
printf '[MURENA]\nTIMEOUT_REDE=5000\n' > cfg/murena/Murena.ini
export XDG_CONFIG_HOME="$WORK/cfg"
PORT=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

cat > servidor.scr <<EOF
SERVE #1 $PORT
ACEITA #1 #2
OBSERVA #2 ANTES
ESCREVE #2 "olá, cliente"
LE #2 UM
OBSERVA #2 DEPOIS
LE #2 DOIS
IP LOCAL #2 EU
IP REMOTO #2 ELE
ESCREVE ANTES, DEPOIS, UM, DOIS, EU, ELE
FECHA #2
FECHA #1
EOF
cat > cliente.scr <<EOF
CONECTA #3 "::1" $PORT
LE #3 SAUDACAO
ESCREVE #3 "um" + CHR(13) + CHR(10) + "dois"
IP REMOTO #3 ELE
ESCREVE SAUDACAO, ELE
EOF

timeout 20 "$RUNNER" servidor.scr > servidor.out 2>&1 &
server_pid=$!
# The client starts once the port is listening (IPv4 or dual-stack socket).
hex=$(printf '%04X' "$PORT")
for _ in $(seq 200); do
  awk -v p=":$hex" '$4 == "0A" && substr($2, length($2) - 4) == p { found = 1 } END { exit !found }' \
    /proc/net/tcp /proc/net/tcp6 && break
  sleep 0.05
done
client=$(timeout 20 "$RUNNER" cliente.scr 2>&1)
wait $server_pid
server_pid=

failed=0
expect() {
  if [ "$2" != "$3" ]; then
    echo "FALHOU: $1"; echo "--- esperado:"; echo "$3"; echo "--- obtido:"; echo "$2"
    failed=1
  fi
}
expect cliente "$client" "olá, cliente ::1"
expect servidor "$(cat servidor.out)" "0 1 um dois ::1 ::1"
[ $failed = 0 ] && echo "conversation ok"
exit $failed
