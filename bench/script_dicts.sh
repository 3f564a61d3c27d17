#!/bin/bash
# Times dictionaries in varlo-script: N keys inserted one by one, each read
# back and a tenth of them removed, then a JSON file of N keys read with
# CONTEUDO. Both must grow in proportion to N, not its square.
# Usage: bench/script_dicts.sh [BUILD_DIR] [N]   (default build, 200000)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-$HERE/../build}" && pwd)
N=${2:-200000}
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

cat > "$WORK/insere.scr" <<EOF
@inicia
D := {}
REPETE I $N
  D["chave" + I] := I
FIM REPETE
S := 0
REPETE I $N
  SE D["chave" + I] = I ENTAO SOMA S 1
FIM REPETE
REPETE I $N / 10
  X := RETIRA(D, "chave" + I * 10)
FIM REPETE
ESCREVE TAMANHO(D), " ", S
EOF

{
  printf '{'
  for ((i = 1; i <= N; i++)); do
    printf '"k%d": %d' "$i" "$i"
    [ $i -lt $N ] && printf ', '
  done
  printf '}\n'
} > "$WORK/dados.json"
cat > "$WORK/json.scr" <<'EOF'
@inicia
D := CONTEUDO("dados.json", "JSON")
ESCREVE TAMANHO(D), " ", D.k1
EOF

for name in insere json; do
  result=$( cd "$WORK" && /usr/bin/time -f "%U %S %e %M" -o "$WORK/times" "$RUNNER" $name.scr < /dev/null | tr '\n' ' ')
  read -r user sys wall peak < "$WORK/times"
  printf "%-7s %8s keys  result: %-18s cpu %6.2f s  wall %6.2f s  peak %7d KB\n" \
    "$name" "$N" "$result" "$(echo "$user + $sys" | bc)" "$wall" "$peak"
done
