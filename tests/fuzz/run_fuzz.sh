#!/bin/sh
# Builds the fuzz targets (clang, out/fuzz) and runs each one in turn for a
# bounded time over a copy of its seeds.  New inputs go to a temporary
# folder, never into the repository.  Fails on the first crash, hang, leak,
# sanitizer report or broken property; the input that did it is kept in
# out/fuzz/crashes/<target>/.
#
#   tests/fuzz/run_fuzz.sh [seconds per target, default 10] [target...]
set -eu

seconds=${1:-10}
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/out/fuzz"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_FUZZ=ON -DTAVREL_TESTS=OFF -DTAVREL_WERROR=ON >/dev/null
ninja -C "$build" >/dev/null

targets=${*:-$(cd "$root/tests/fuzz/corpus" && ls)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for target in $targets; do
  mkdir -p "$work/$target" "$build/crashes/$target"
  cp "$root/tests/fuzz/corpus/$target/"* "$work/$target/"
  printf '%s: ' "$target"
  if ! "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" \
      -timeout=25 -artifact_prefix="$build/crashes/$target/" -print_final_stats=1 \
      "$work/$target" >"$work/$target.log" 2>&1; then
    echo FAILED
    tail -n 40 "$work/$target.log"
    exit 1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$work/$target.log" |
    sed 's/^stat:://' | tr '\n' ' '
  echo
done
