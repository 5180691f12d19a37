#!/usr/bin/env bash
# Builds every flavour of tavREL and runs every test:
#   the linux preset (g++) and clang++: the unit tests and the end-to-end
#     suite on the stand-in; with g++ also the same suite against tavrel.exe
#     under Wine, and 300 random scenarios run on both and compared;
#   the mingw preset (mingw-w64 g++) with its test doubles: the portable unit
#     tests and the Windows backend's tests under Wine;
#   the mingw-clang preset (clang for mingw-w64): tavrel.exe, warnings as errors;
#   the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer;
#   each fuzz target for a few seconds over its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
fuzz_seconds=${TAVREL_FUZZ_SECONDS:-5}

scripts/install-deps.sh

configure() {  # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_WERROR=ON "$@" >/dev/null
  ninja -C "$dir" -j"$jobs" >/dev/null
}

preset() {  # name, build arguments...
  local name=$1; shift
  cmake --preset "$name" >/dev/null
  cmake --build --preset "$name" -j"$jobs" "$@" >/dev/null
}

echo "== build: presets mingw, linux, mingw-clang; clang++, sanitizers, fuzz targets"
preset mingw
preset linux
preset mingw-clang --target tavrel
configure out/clang -DCMAKE_CXX_COMPILER=clang++
configure out/asan -DCMAKE_CXX_COMPILER=clang++ -DTAVREL_SANITIZE=ON
configure out/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_FUZZ=ON \
  -DTAVREL_TESTS=OFF -DTAVREL_FUZZ_SECONDS="$fuzz_seconds"

echo "== tests: linux preset, stand-in and Wine"
ctest --preset linux -j"$jobs"
echo "== tests: mingw preset, unit tests under Wine"
ctest --preset mingw
echo "== tests: clang++ build"
ctest --test-dir out/clang --output-on-failure -j"$jobs" -E "e2e_wine"
echo "== tests: sanitizer build"
ctest --test-dir out/asan --output-on-failure -j"$jobs" -E "e2e_wine"
echo "== fuzz targets, ${fuzz_seconds} s each"
ctest --test-dir out/fuzz --output-on-failure -j"$jobs"
