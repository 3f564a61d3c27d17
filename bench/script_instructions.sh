#!/bin/bash
# Counts the machine instructions (callgrind) that varlo-script and lua5.4
# spend on four small loops: arithmetic in a while loop, a list filled and
# read back, function calls, and a mix of calls, a dictionary and a list,
# 100 000 rounds each. Unlike times, the
# counts repeat exactly from run to run; each is printed with the start-up
# of its interpreter taken off, beside the ratio.
# Usage: bench/script_instructions.sh [BUILD_DIR]   (needs valgrind)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-$HERE/../build}" && pwd)
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
command -v valgrind > /dev/null || { echo "valgrind not installed"; exit 1; }
command -v lua5.4 > /dev/null || { echo "lua5.4 not installed"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

cat > empty.scr <<'EOF'
ESCREVE 0
EOF
cat > empty.lua <<'EOF'
print(0)
EOF
cat > while.scr <<'EOF'
X := 0
I := 0
ENQUANTO I < 100000
  X := (X + I % 7) % 1000003
  I := I + 1
FIM ENQUANTO
ESCREVE X
EOF
cat > while.lua <<'EOF'
local x, i = 0, 0
while i < 100000 do
  x = (x + i % 7) % 1000003
  i = i + 1
end
print(x)
EOF
cat > lists.scr <<'EOF'
L := []
PARA I DE 0 ATE 99999
  L[I] := I * 3 % 17
FIM PARA
S := 0
PARA V EM L
  SE V > 8 ENTAO S := S + V
FIM PARA
N := 0
I := 0
ENQUANTO I < 100000
  N := N + L[I] * 2
  I := I + 1
FIM ENQUANTO
ESCREVE S + N
EOF
cat > lists.lua <<'EOF'
local l = {}
for i = 0, 99999 do l[i + 1] = i * 3 % 17 end
local s = 0
for _, v in ipairs(l) do
  if v > 8 then s = s + v end
end
local n, i = 0, 0
while i < 100000 do
  n = n + l[i + 1] * 2
  i = i + 1
end
print(s + n)
EOF
cat > calls.scr <<'EOF'
FUNCAO QUADRADO(N)
  RETORNA N * N
FIM FUNCAO
X := 0
PARA J DE 1 ATE 100000
  X := (X + QUADRADO(J % 100)) % 1000003
FIM PARA
ESCREVE X
EOF
cat > calls.lua <<'EOF'
local function quadrado(n) return n * n end
local x = 0
for j = 1, 100000 do
  x = (x + quadrado(j % 100)) % 1000003
end
print(x)
EOF
cat > mix.scr <<'EOF'
FUNCAO CHAVE(I)
  RETORNA "k" + I % 100
FIM FUNCAO
D := {}
L := []
PARA I DE 0 ATE 99999
  K := CHAVE(I)
  SE D[K] = INDEFINIDO ENTAO D[K] := 0
  D[K] := D[K] + 1
  L[I] := D[K]
FIM PARA
S := 0
PARA V EM L
  S := S + V
FIM PARA
ESCREVE S
EOF
cat > mix.lua <<'EOF'
local function chave(i) return "k" .. (i % 100) end
local d, l = {}, {}
for i = 0, 99999 do
  local k = chave(i)
  if d[k] == nil then d[k] = 0 end
  d[k] = d[k] + 1
  l[i + 1] = d[k]
end
local s = 0
for _, v in ipairs(l) do s = s + v end
print(s)
EOF

# Instructions of one run; the program's output goes to NAME.out.
count() {
  local out=$1
  shift
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" > "$out" 2> "$out.log" < /dev/null
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$out.log"
}

ours_base=$(count empty.ours "$RUNNER" empty.scr)
lua_base=$(count empty.lua.out lua5.4 empty.lua)
printf "%-8s %14s %14s %7s\n" "" "varlo-script" "lua5.4" "ratio"
status=0
for name in while lists calls mix; do
  ours=$(( $(count "$name.ours" "$RUNNER" "$name.scr") - ours_base ))
  lua=$(( $(count "$name.lua.out" lua5.4 "$name.lua") - lua_base ))
  printf "%-8s %14d %14d %7s\n" "$name" "$ours" "$lua" "$(echo "scale=1; $ours / $lua" | bc)"
  if ! cmp -s "$name.ours" "$name.lua.out"; then
    echo "$name: results differ: $(cat "$name.ours") / $(cat "$name.lua.out")"
    status=1
  fi
done
exit $status
