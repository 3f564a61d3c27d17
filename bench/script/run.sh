#!/bin/bash
# Times varlo-script against lua5.4 on the same loop-heavy script.
# Usage: bench/script/run.sh [BUILD_DIR]   (default build)
set -eu
HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=${1:-$HERE/../../build}
seconds() { local s=$(date +%s.%N); "$@" > /dev/null; echo "$(date +%s.%N) - $s" | bc; }
for name in laco; do
  ours=$(cd "$HERE" && VARLO_CONSOLE=headless VARLO_AUDIO=null seconds "$BUILD/varlo-script" "$name.scr" < /dev/null)
  theirs=$(cd "$HERE" && seconds lua5.4 "$name.lua")
  printf "%-8s varlo-script %6.2f s   lua5.4 %6.2f s   ratio %5.1f\n" "$name" "$ours" "$theirs" \
    "$(echo "$ours / $theirs" | bc -l)"
done
