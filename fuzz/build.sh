#!/bin/bash
# Builds the script language fuzzer: the script sources with libFuzzer,
# AddressSanitizer and UBSan, linked with the other libraries of the program.
# Usage: fuzz/build.sh [build-dir]   (default build-fuzz); then run
#   build-fuzz/script-fuzz -max_len=4096 -timeout=10 fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-fuzz}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j2 --target varlo_console varlo_platform varlo_speech varlo_olira \
  varlo_synth varlo_audio varlo_shell
sources=$(ls src/script/*.cpp | grep -v '_main\.cpp$')
libs=""
for lib in console platform speech olira synth audio shell; do
  [ -f "$BUILD/libvarlo_$lib.a" ] && libs="$libs $BUILD/libvarlo_$lib.a"
done
clang++ -std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
  -Isrc -DVARLO_SUITE_DIR="\"$PWD/data\"" -DVARLO_SOURCE_DIR="\"$PWD\"" -DVARLO_BINARY_DIR="\"$PWD/$BUILD\"" \
  fuzz/script_fuzz.cpp $sources -Wl,--start-group $libs -Wl,--end-group \
  -lasound -lespeak-ng -lpthread -o "$BUILD/script-fuzz"
echo "built $BUILD/script-fuzz"
