#!/usr/bin/env bash
# The walk against find(1), peak memory, and the matcher micro-benchmark.
#
#   bench/walk_bench.sh [rounds]        (from anywhere; default 7 rounds)
#
# Builds a Release tree with the benchmarks in build-bench/, creates two
# folder trees under a temporary folder (10,000 and 200,000 files, a third
# of them .dll), then:
#   - times `tavrel "Z:<tree>\*.dll" /R > file` and `find <tree> -name
#     '*.dll' > file` in alternation, after one warm-up run of each, and
#     reports the median of each and the median of the per-round ratios;
#   - reads the peak resident set of tavrel on both trees (GNU time);
#   - runs match_mask_bench (MatchMask against fnmatch).
# Environment: BENCH_TMP (parent of the temporary folder, default $TMPDIR
# or /tmp), BENCH_JOBS (build jobs, default 2).
set -euo pipefail

rounds=${1:-7}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$repo/build-bench"
jobs=${BENCH_JOBS:-2}

for tool in cmake ninja python3 find; do
  command -v "$tool" >/dev/null || { echo "walk_bench: $tool is missing" >&2; exit 1; }
done
[[ -x /usr/bin/time ]] || { echo "walk_bench: /usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

echo "== build (Release, TAVREL_BENCH=ON) in $build"
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTAVREL_BENCH=ON -DTAVREL_TESTS=OFF >/dev/null
ninja -C "$build" -j "$jobs" tavrel match_mask_bench >/dev/null
tavrel="$build/tavrel"

work=$(mktemp -d "${BENCH_TMP:-${TMPDIR:-/tmp}}/tavrel-walk.XXXXXX")
trap 'rm -rf "$work"' EXIT

# make_tree DIR TOP SUB FILES: TOP x SUB folders of FILES empty files each,
# every third one a .dll.
make_tree() {
  python3 - "$@" <<'PY'
import os, sys
root, top, sub, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
exts = (".dll", ".exe", ".txt")
for t in range(top):
    for s in range(sub):
        folder = os.path.join(root, "pkg%02d" % t, "module%02d" % s)
        os.makedirs(folder)
        for f in range(files):
            os.close(os.open(os.path.join(folder, "file%04d%s" % (f, exts[f % 3])),
                             os.O_CREAT | os.O_WRONLY, 0o644))
PY
}

# The Windows name of a host path: drive Z: is the host's root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

echo "== trees in $work"
small="$work/small" large="$work/large"
make_tree "$small" 5 5 400    #  10,000 files
make_tree "$large" 20 25 400  # 200,000 files

run_tavrel() { "$tavrel" "$(windows_path "$1")\\*.dll" /R >"$2"; }
run_find() { find "$1" -name '*.dll' >"$2"; }

# elapsed_ms COMMAND...: wall time of one run, in milliseconds.
elapsed_ms() {
  local start end
  start=$(date +%s%N)
  "$@"
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

out_t="$work/tavrel.out" out_f="$work/find.out"
run_tavrel "$large" "$out_t"  # warm-up: caches and page tables
run_find "$large" "$out_f"
lines_t=$(wc -l <"$out_t") lines_f=$(wc -l <"$out_f")
if [[ $lines_t -ne $lines_f ]]; then
  echo "walk_bench: tavrel found $lines_t files, find $lines_f" >&2
  exit 1
fi

echo "== walk, $rounds rounds, 200,000 files ($lines_t .dll)"
times_t=() times_f=() ratios=()
for ((i = 1; i <= rounds; i++)); do
  t=$(elapsed_ms run_tavrel "$large" "$out_t")
  f=$(elapsed_ms run_find "$large" "$out_f")
  times_t+=("$t") times_f+=("$f")
  ratios+=("$(awk -v t="$t" -v f="$f" 'BEGIN { printf "%.3f", t / (f > 0 ? f : 1) }')")
  printf '  round %d: tavrel %5d ms   find %5d ms\n' "$i" "$t" "$f"
done
med_t=$(printf '%s\n' "${times_t[@]}" | median)
med_f=$(printf '%s\n' "${times_f[@]}" | median)
med_r=$(printf '%s\n' "${ratios[@]}" | median)

peak_kb() { /usr/bin/time -f %M -o "$work/rss" "$tavrel" "$(windows_path "$1")\\*.dll" /R >/dev/null; cat "$work/rss"; }
rss_small=$(peak_kb "$small")
rss_large=$(peak_kb "$large")

echo "== match_mask_bench"
"$build/bench/match_mask_bench" --benchmark_format=console 2>/dev/null | tee "$work/bench.txt"

echo
echo "== summary"
printf '%-34s %12s\n' "walk median, tavrel (ms)" "$med_t"
printf '%-34s %12s\n' "walk median, find (ms)" "$med_f"
printf '%-34s %12s   (target <= 1.30)\n' "median ratio tavrel / find" "$med_r"
printf '%-34s %12s\n' "peak RSS, 10,000 files (KiB)" "$rss_small"
printf '%-34s %12s   (target: same as above)\n' "peak RSS, 200,000 files (KiB)" "$rss_large"
awk '/^BM_/ {
       split($1, id, "/"); label = $NF
       # Time is for one pass over all names; items_per_second gives ns/name.
       for (i = 1; i <= NF; i++) if ($i ~ /^items_per_second=/) {
         rate = substr($i, 18); mul = 1
         if (rate ~ /k\/s$/) mul = 1e3; else if (rate ~ /M\/s$/) mul = 1e6; else if (rate ~ /G\/s$/) mul = 1e9
         ns_item[id[1], label] = 1e9 / ((rate + 0) * mul)
       }
       if (!(label in seen)) { seen[label] = 1; order[++count] = label }
     }
     END {
       printf "%-14s %18s %16s\n", "mask", "MatchMask ns/name", "fnmatch ns/name"
       for (i = 1; i <= count; i++) {
         m = order[i]
         printf "%-14s %18.2f %16.2f\n", m, ns_item["BM_MatchMask", m], ns_item["BM_Fnmatch", m]
       }
     }' "$work/bench.txt"
