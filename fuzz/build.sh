#!/bin/bash
# Builds the script language fuzzer with clang: the whole program instrumented
# for libFuzzer, AddressSanitizer and UBSan, from the project's CMake files.
# Usage: fuzz/build.sh [build-dir]   (default build-fuzz); then run
#   build-fuzz/script-fuzz -max_len=4096 -timeout=10 fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-fuzz}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVARLO_FUZZ=ON >/dev/null
cmake --build "$BUILD" -j2 --target script-fuzz
echo "built $BUILD/script-fuzz"
