#!/bin/bash
# Builds the fuzz targets with clang: the whole program instrumented for
# libFuzzer, AddressSanitizer and UBSan, from the project's CMake files.
# Usage: fuzz/build.sh [build-dir]   (default build-fuzz); then run one with
# its seed corpus copied to a scratch folder, for example
#   cp -r fuzz/corpus/wav /tmp/wav && build-fuzz/fuzz/wav-fuzz -max_len=4096 -timeout=10 /tmp/wav
# Targets: script, wav, ini, text, olira, keys, json, http, codes, mci, units,
# desktop, bitmap (fuzz/CMakeLists.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-fuzz}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVARLO_FUZZ=ON >/dev/null
cmake --build "$BUILD" -j2 --target varlo_fuzzers
echo "built $BUILD/fuzz/*-fuzz"
