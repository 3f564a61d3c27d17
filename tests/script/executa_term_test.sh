#!/bin/bash
# A program started by EXECUTA with "&", and what it starts in turn, end
# with varlo-script when TERM ends it; a script that ends by itself leaves
# such a program running.
# Usage: executa_term_test.sh BUILD_DIR
set -u
BUILD=${1:?build directory}
RUNNER="$(cd "$BUILD" && pwd)/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
WORK=$(mktemp -d)
cleanup() {
  for f in "$WORK"/*.pid; do [ -s "$f" ] && kill "$(cat "$f")" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT
cd "$WORK" || exit 1

# The program notes its own id and that of a child it leaves behind.
cat > prog.sh <<'SH'
#!/bin/sh
sleep 60 &
echo $! > "$1.filho.pid"
echo $$ > "$1.pid"
wait
SH
chmod +x prog.sh

# Running: a process that is neither gone nor a zombie left for init to reap.
alive() {
  local state
  state=$(ps -o stat= -p "$(cat "$1")" 2>/dev/null)
  [ -n "$state" ] && [ "${state#Z}" = "$state" ]
}
waitFor() { for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.05; done; return 1; }

failed=0
printf 'EXECUTA "./prog.sh termo" &\nESPERA 30\n' > termo.scr
VARLO_CONSOLE=headless "$RUNNER" termo.scr </dev/null >/dev/null 2>&1 &
runner=$!
if ! waitFor termo.pid || ! waitFor termo.filho.pid; then
  echo "FALHOU: o programa não começou"; failed=1
else
  kill -TERM "$runner"
  wait "$runner"
  sleep 0.3
  alive termo.pid && { echo "FALHOU: o programa sobreviveu ao TERM"; failed=1; }
  alive termo.filho.pid && { echo "FALHOU: o filho do programa sobreviveu ao TERM"; failed=1; }
fi

printf 'EXECUTA "./prog.sh fim" &\nESPERA 200 MS\n' > fim.scr
VARLO_CONSOLE=headless "$RUNNER" fim.scr </dev/null >/dev/null 2>&1
if ! waitFor fim.pid; then
  echo "FALHOU: o programa do fim normal não começou"; failed=1
else
  alive fim.pid || { echo "FALHOU: o fim normal do script encerrou o programa"; failed=1; }
fi

[ $failed = 0 ] && echo "executa ok"
exit $failed
