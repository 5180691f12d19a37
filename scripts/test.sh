#!/usr/bin/env bash
# Builds every flavour of tavREL and runs every test:
#   native g++ and clang++: the unit tests and the end-to-end suite on the
#     stand-in; with g++ also the same suite against tavrel.exe under Wine;
#   the Windows build (mingw-w64) with its test doubles;
#   the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer;
#   each fuzz target for a few seconds over its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${TAVREL_FUZZ_SECONDS:-5}

scripts/install-deps.sh

configure() {  # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  ninja -C "$dir" -j"$jobs" >/dev/null
}

echo "== build: g++, clang++, mingw-w64, sanitizers"
configure out/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
configure out/gcc -DCMAKE_CXX_COMPILER=g++ -DTAVREL_WIN_BUILD="$PWD/out/win"
configure out/clang -DCMAKE_CXX_COMPILER=clang++
configure out/asan -DCMAKE_CXX_COMPILER=clang++ -DTAVREL_SANITIZE=ON

echo "== tests: g++ build, stand-in and Wine"
ctest --test-dir out/gcc --output-on-failure -j"$jobs"
echo "== tests: clang++ build"
ctest --test-dir out/clang --output-on-failure -j"$jobs" -E e2e_wine
echo "== tests: sanitizer build"
ctest --test-dir out/asan --output-on-failure -j"$jobs" -E e2e_wine
echo "== fuzz targets, ${fuzz_seconds} s each"
tests/fuzz/run_fuzz.sh "$fuzz_seconds"
