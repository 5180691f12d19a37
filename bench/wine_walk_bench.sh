#!/usr/bin/env bash
# The Windows build's walk under Wine against Wine's own `dir /s /b`.
#
#   bench/wine_walk_bench.sh [rounds] [other tavrel.exe ...]   (default 7 rounds)
#
# Builds tavrel.exe (mingw-w64, Release) in build-bench-win/, creates a tree
# of 40,000 files (4 x 25 folders of 400, a third of them .dll) and times,
# in paired rounds whose order alternates, `tavrel.exe "Z:<tree>\*.dll" /R`
# against `cmd /c dir /s /b "Z:<tree>\*.dll"`, each into a file, after one
# warm-up run of each; any other exe named is timed in the same rounds.
# Prints each one's median wall time and the median of its per-round ratios
# to dir.  The protection service is Wine's own sfc.dll.
# Environment: BENCH_TMP (parent of the temporary folder), BENCH_JOBS (build
# jobs, default 2), BENCH_WINE (default /usr/lib/wine/wine64).
set -euo pipefail

rounds=${1:-7}
shift || true
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
wine=${BENCH_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver
build="$repo/build-bench-win"
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" >/dev/null
ninja -C "$build" -j "${BENCH_JOBS:-2}" tavrel.exe >/dev/null
programs=("$build/tavrel.exe" "$@")

work=$(mktemp -d "${BENCH_TMP:-${TMPDIR:-/tmp}}/tavrel-wine-walk.XXXXXX")
export WINEPREFIX="$build/bench-wineprefix" WINEDEBUG=-all
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$WINEPREFIX"
"$wineserver" -p  # one server for every run
"$wine" wineboot -i >/dev/null 2>&1 || true

python3 - "$work/tree" <<'PY'
import os, sys
for t in range(4):
    for s in range(25):
        folder = os.path.join(sys.argv[1], "pkg%02d" % t, "module%02d" % s)
        os.makedirs(folder)
        for f in range(400):
            open(os.path.join(folder, "file%04d%s" % (f, (".dll", ".exe", ".txt")[f % 3])), "w").close()
PY
mask="Z:${work//\//\\}\\tree\\*.dll"

# elapsed_ms INDEX: one run of program INDEX (-1: dir), wall time in ms.
elapsed_ms() {
  local start=$(date +%s%N)
  if (($1 < 0)); then
    "$wine" cmd /c dir /s /b "$mask" >"$work/out"
  else
    "$wine" "${programs[$1]}" "$mask" /R >"$work/out"
  fi
  echo $((($(date +%s%N) - start) / 1000000))
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

for ((p = -1; p < ${#programs[@]}; p++)); do
  elapsed_ms "$p" >/dev/null  # warm-up
  echo "$p: $(wc -l <"$work/out") lines"
done
declare -A times ratios
for ((r = 0; r < rounds; r++)); do
  for ((p = 0; p < ${#programs[@]}; p++)); do
    if ((r % 2)); then t=$(elapsed_ms "$p") d=$(elapsed_ms -1); else d=$(elapsed_ms -1) t=$(elapsed_ms "$p"); fi
    times[$p]+="$t " times[dir]+="$d "
    ratios[$p]+="$(awk -v t="$t" -v d="$d" 'BEGIN { printf "%.3f", t / d }') "
    printf '  round %d: %s %d ms, dir %d ms\n' "$r" "${programs[$p]}" "$t" "$d"
  done
done
echo "== medians of $rounds rounds"
echo "dir /s /b: $(tr ' ' '\n' <<<"${times[dir]}" | grep . | median) ms"
for ((p = 0; p < ${#programs[@]}; p++)); do
  echo "${programs[$p]}: $(tr ' ' '\n' <<<"${times[$p]}" | grep . | median) ms," \
    "ratio to dir $(tr ' ' '\n' <<<"${ratios[$p]}" | grep . | median)" \
    "(from $(tr ' ' '\n' <<<"${ratios[$p]}" | grep . | sort -g | head -1)" \
    "to $(tr ' ' '\n' <<<"${ratios[$p]}" | grep . | sort -g | tail -1))"
done
