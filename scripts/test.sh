#!/usr/bin/env bash
# Builds every flavour of tavREL and runs every test:
#   native g++ and clang++ (unit and end-to-end tests on the stand-in),
#   the Windows build under Wine (the same end-to-end suite),
#   a sanitizer build of the whole suite, and the fuzz targets briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

scripts/install-deps.sh

configure() {  # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  ninja -C "$dir" -j"$jobs" >/dev/null
}

echo "== build: g++, clang++, mingw-w64"
configure out/gcc -DCMAKE_CXX_COMPILER=g++
configure out/clang -DCMAKE_CXX_COMPILER=clang++
configure out/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake

export TAVREL_WIN_BUILD="$root/out/win"
echo "== tests: g++ build"
ctest --test-dir out/gcc --output-on-failure -j"$jobs"
echo "== tests: clang++ build"
ctest --test-dir out/clang --output-on-failure -j"$jobs"
