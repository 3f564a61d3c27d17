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
# Prints both results (they must agree), the CPU and wall times and their
# ratios; the goal is within 2.5 x of Lua in CPU time.
# Usage: bench/script_speed.sh [BUILD_DIR] [WORKLOAD ...]   (default build, all)
# RUNS (default 5) sets how many times each side runs; the least time counts.
set -eu
RUNS=${RUNS:-5}
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-$HERE/../build}" && pwd)
shift || true
WORKLOADS=${*:-speed loops strings lists mix}
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
command -v lua5.4 > /dev/null || { echo "lua5.4 not installed"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Runs a command $RUNS times; prints "result cpu wall" (seconds, the least
# of the runs, as a busy machine only ever adds time; the result with its
# blanks and tabs as underscores).
measure() {
  local out="$WORK/out" times="$WORK/times" best_cpu="" best_wall="" run cpu
  for run in $(seq "$RUNS"); do
    /usr/bin/time -f "%U %S %e" -o "$times" "$@" > "$out" < /dev/null
    read -r user sys wall < "$times"
    cpu=$(echo "$user + $sys" | bc)
    if [ -z "$best_cpu" ] || [ "$(echo "$cpu < $best_cpu" | bc)" = 1 ]; then best_cpu=$cpu; fi
    if [ -z "$best_wall" ] || [ "$(echo "$wall < $best_wall" | bc)" = 1 ]; then best_wall=$wall; fi
  done
  echo "$(tr -s ' \t' '__' < "$out" | tr -d '\n') $best_cpu $best_wall"
}

ratio() { if [ "$(echo "$2 > 0" | bc)" = 1 ]; then echo "scale=1; $1 / $2" | bc; else echo "-"; fi; }

printf "%-8s %16s | %22s | %22s | %14s\n" "" "result" "cpu s: varlo    lua" "wall s: varlo    lua" "ratio cpu wall"
status=0
for name in $WORKLOADS; do
  read -r ours_result ours_cpu ours_wall < <(cd "$HERE" && measure "$RUNNER" "script_$name.scr")
  read -r lua_result lua_cpu lua_wall < <(cd "$HERE" && measure lua5.4 "script_$name.lua")
  printf "%-8s %16s | %13.2f %8.2f | %13.2f %8.2f | %6s %6s\n" "$name" "$ours_result" \
    "$ours_cpu" "$lua_cpu" "$ours_wall" "$lua_wall" "$(ratio "$ours_cpu" "$lua_cpu")" "$(ratio "$ours_wall" "$lua_wall")"
  if [ "$ours_result" != "$lua_result" ]; then
    echo "$name: results differ (lua5.4: $lua_result)"
    status=1
  fi
done
echo "(goal: CPU ratio 2.5 or less; times below 0.01 s read as 0)"
exit $status
