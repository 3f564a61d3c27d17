#!/bin/bash
# Scripts that exhaust memory end with "Memória insuficiente" and the run
# error status, never with an abort: varlo-script runs under a small
# address-space limit while a list grows element by element and while a list
# doubles itself.
# Usage: out_of_memory_test.sh BUILD_DIR
set -u
BUILD=${1:?build directory}
RUNNER="$(cd "$BUILD" && pwd)/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
# AddressSanitizer reserves terabytes of address space: no limit can apply.
if grep -q '^VARLO_SANITIZE:BOOL=ON' "$BUILD/CMakeCache.txt" 2>/dev/null; then
  echo "skipped under the sanitizers"
  exit 0
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cat > "$WORK/cresce.scr" <<'EOF'
@inicia
L := []
I := 0
ENQUANTO 1
  ANEXA L ([[I, "texto", I * 2]])
  SOMA I 1
FIM ENQUANTO
EOF
cat > "$WORK/dobra.scr" <<'EOF'
@inicia
L := [1, 2, 3, 4, 5, 6, 7, 8]
ENQUANTO 1
  L := L + L
FIM ENQUANTO
EOF
failed=0
for script in cresce dobra; do
  for limit in 150000 250000; do
    output=$(cd "$WORK" && ulimit -v $limit && VARLO_AUDIO=null timeout 120 "$RUNNER" $script.scr 2>&1)
    status=$?
    if [ $status -ne 1 ] || ! grep -q '^Memória insuficiente$' <<<"$output"; then
      echo "FALHOU: $script.scr sob ulimit -v $limit terminou com $status:"
      tail -5 <<<"$output"
      failed=1
    fi
  done
done
[ $failed -eq 0 ] && echo "passed"
exit $failed
