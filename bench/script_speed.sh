#!/bin/bash
# Times varlo-script against lua5.4 on the same programs, one workload per
# pair bench/script_<name>.scr and bench/script_<name>.lua:
#   speed    command-heavy: nested loops, in-place arithmetic, strings and
#            lists built, sorted, searched and cut
#   loops    while and counted loops with arithmetic and function calls
#   strings  strings built from texts and numbers, lengths, indexing
#   lists    lists filled by index and read back
#   mix      a sieve over a list, recursive calls, words counted in a
#            dictionary, a list passed to a function
#   calls    functions of two and three arguments called from a loop and
#            recursively
# Prints both results (they must agree), the least CPU and wall times of
# each side and the median of the ratios of runs made in turn; the goal is
# within 2.5 x of Lua in CPU time.
# Usage: bench/script_speed.sh [BUILD_DIR] [WORKLOAD ...]   (default build, all)
# RUNS (default 5) sets how many times each side runs.
set -eu
RUNS=${RUNS:-5}
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-$HERE/../build}" && pwd)
shift || true
WORKLOADS=${*:-speed loops strings lists mix calls}
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
command -v lua5.4 > /dev/null || { echo "lua5.4 not installed"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# One timed run of a command: "result cpu wall" (seconds to the millisecond,
# as the shell's own timer gives them; the result with its blanks and tabs
# as underscores).
timed() {
  local out="$WORK/out" times="$WORK/times" user sys wall
  { TIMEFORMAT="%3U %3S %3R"; time "$@" > "$out" 2> /dev/null < /dev/null; } 2> "$times"
  read -r user sys wall < "$times"
  echo "$(tr -s ' \t' '__' < "$out" | tr -d '\n') $(echo "$user + $sys" | bc) $wall"
}

least() { printf '%s\n' "$@" | sort -g | head -1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { if [ "$(echo "$2 > 0" | bc)" = 1 ]; then echo "scale=2; $1 / $2" | bc; else echo 0; fi; }

# The two sides run in turn, so that both meet the same load of a shared
# machine; each pair gives a ratio and the median of those is printed, with
# the least times of each side.
printf "%-8s %16s | %22s | %22s | %14s\n" "" "result" "cpu s: varlo    lua" "wall s: varlo    lua" "ratio cpu wall"
status=0
for name in $WORKLOADS; do
  ours_cpu=() ours_wall=() lua_cpu=() lua_wall=() cpu_ratios=() wall_ratios=()
  for run in $(seq "$RUNS"); do
    read -r ours_result cpu wall < <(cd "$HERE" && timed "$RUNNER" "script_$name.scr")
    ours_cpu+=("$cpu") ours_wall+=("$wall")
    read -r lua_result lcpu lwall < <(cd "$HERE" && timed lua5.4 "script_$name.lua")
    lua_cpu+=("$lcpu") lua_wall+=("$lwall")
    cpu_ratios+=("$(ratio "$cpu" "$lcpu")") wall_ratios+=("$(ratio "$wall" "$lwall")")
  done
  printf "%-8s %16s | %13.2f %8.2f | %13.2f %8.2f | %6.1f %6.1f\n" "$name" "$ours_result" \
    "$(least "${ours_cpu[@]}")" "$(least "${lua_cpu[@]}")" "$(least "${ours_wall[@]}")" "$(least "${lua_wall[@]}")" \
    "$(median "${cpu_ratios[@]}")" "$(median "${wall_ratios[@]}")"
  if [ "$ours_result" != "$lua_result" ]; then
    echo "$name: results differ (lua5.4: $lua_result)"
    status=1
  fi
done
echo "(goal: CPU ratio 2.5 or less)"
exit $status
