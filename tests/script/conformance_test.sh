#!/bin/bash
# Runs every tests/script/conformance/NAME.scr (or NAME.cmd) with varlo-script
# on the headless console and compares what it printed, followed by a line
# "== código N" with its exit code, against NAME.out. A NAME.label file gives
# the start label; a NAME.in file is typed on the keyboard. Each script runs
# twice: with pre-analysed lines and with every line read from its tokens.
# Usage: conformance_test.sh BUILD_DIR [NAME ...]
set -u
BUILD=${1:?build directory}
shift
HERE=$(cd "$(dirname "$0")" && pwd)
RUNNER="$BUILD/varlo-script"
[ -x "$RUNNER" ] || { echo "varlo-script not built in $BUILD"; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
passed=0
failed=0
for script in "$HERE"/conformance/*.scr "$HERE"/conformance/*.cmd; do
  [ -f "$script" ] || continue
  name=$(basename "$script")
  stem="${script%.*}"
  if [ $# -gt 0 ] && [[ ! " $* " =~ " ${name%.*} " ]]; then continue; fi
  label=""
  [ -f "$stem.label" ] && label=$(cat "$stem.label")
  input=/dev/null
  [ -f "$stem.in" ] && input="$stem.in"
  for plans in 1 0; do
    rm -rf "${WORK:?}"/*
    cp -r "$HERE"/conformance/. "$WORK"/
    actual=$(cd "$WORK" && VARLO_CONSOLE=headless VARLO_AUDIO=null VARLO_SCRIPT_PLANS=$plans timeout 60 \
             "$RUNNER" "$name" $label < "$input" 2>&1; echo "== código $?")
    if [ "$actual" == "$(cat "$stem.out")" ]; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      echo "FALHOU: $name (VARLO_SCRIPT_PLANS=$plans)"
      diff <(cat "$stem.out") <(echo "$actual") | head -40
    fi
  done
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
