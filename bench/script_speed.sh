#!/bin/bash
# Times varlo-script against lua5.4 on the same loop-heavy program
# (bench/script_speed.scr and bench/script_speed.lua): nested loops,
# in-place arithmetic, strings and lists built, sorted, searched and cut.
# Prints both results (they must agree), the CPU and wall times and their
# ratios; the goal is within 4 x of Lua.
# Usage: bench/script_speed.sh [BUILD_DIR]   (default build)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-$HERE/../build}" && pwd)
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
command -v lua5.4 > /dev/null || { echo "lua5.4 not installed"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# Runs a command; prints "result cpu wall" (seconds).
measure() {
  local out="$WORK/out" times="$WORK/times"
  /usr/bin/time -f "%U %S %e" -o "$times" "$@" > "$out" < /dev/null
  read -r user sys wall < "$times"
  echo "$(tr -d '\n' < "$out") $(echo "$user + $sys" | bc) $wall"
}

read -r ours_result ours_cpu ours_wall < <(cd "$HERE" && VARLO_CONSOLE=headless VARLO_AUDIO=null measure "$RUNNER" script_speed.scr)
read -r lua_result lua_cpu lua_wall < <(cd "$HERE" && measure lua5.4 script_speed.lua)
printf "%-14s %12s %9s %9s\n" "" "result" "cpu s" "wall s"
printf "%-14s %12s %9.2f %9.2f\n" "varlo-script" "$ours_result" "$ours_cpu" "$ours_wall"
printf "%-14s %12s %9.2f %9.2f\n" "lua5.4" "$lua_result" "$lua_cpu" "$lua_wall"
ratio() { if [ "$(echo "$2 > 0" | bc)" = 1 ]; then echo "scale=2; $1 / $2" | bc; else echo "-"; fi; }
printf "ratio          cpu %s x   wall %s x   (goal: 4 x or less)\n" "$(ratio "$ours_cpu" "$lua_cpu")" "$(ratio "$ours_wall" "$lua_wall")"
[ "$ours_result" = "$lua_result" ] || { echo "results differ"; exit 1; }
