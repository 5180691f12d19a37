#!/usr/bin/env bash
# Plain file names against folder size, on the stand-in and under Wine.
#
#   bench/name_bench.sh [--before REV] [rounds]   (default 5 rounds)
#
# Builds tavrel (stand-in, Release) and tavrel.exe (mingw-w64) in
# build-bench/ and build-bench-win/; with --before, also those of git
# revision REV (in the temporary folder), timed beside them.  Then, on each
# backend, in alternation over the rounds (after one warm-up run of each):
#   (a) a list file of 1,000 names of files of a 4,000-file folder, against
#       1,000 names of files of a 10-file folder: the medians, and the median
#       of the per-round ratios (a name's cost must not follow the folder's
#       size), in wall time and in the processor time of the run;
#   (b) a plain name with /R over a tree of 200,000 files (20 x 25
#       folders of 400 files, as walk_bench.sh builds it): one that every
#       leaf folder holds, and one that no folder holds;
#   (c) *.dll with /R over the same tree;
# (b) and (c) also for REV, the two versions in alternation, each going
# first in every other round.  Every run
# writes to a file; all runs of one case, of either version, must give the
# same bytes.
# Environment: BENCH_TMP (parent of the temporary folder, default $TMPDIR or
# /tmp), BENCH_JOBS (build jobs, default 2), TAVREL_WINE (the Wine to run,
# default: cmake/wine-run.sh's), BENCH_WINE_ROUNDS (rounds under Wine, default: the
# same), BENCH_NAMES (list lines, default 1000).
set -euo pipefail

before=""
if [[ ${1:-} == --before ]]; then
  before=$2
  shift 2
fi
rounds=${1:-5}
wine_rounds=${BENCH_WINE_ROUNDS:-$rounds}
names=${BENCH_NAMES:-1000}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${BENCH_JOBS:-2}
wine=$("$repo/cmake/wine-run.sh" --wine)
wineserver=$(dirname "$wine")/wineserver
[[ -x $wineserver ]] || wineserver=$(command -v wineserver || true)

for tool in cmake ninja python3 git; do
  command -v "$tool" >/dev/null || { echo "name_bench: $tool is missing" >&2; exit 1; }
done
[[ -x $wine && -n $wineserver ]] || { echo "name_bench: Wine is missing ($wine)" >&2; exit 1; }

work=$(mktemp -d "${BENCH_TMP:-${TMPDIR:-/tmp}}/tavrel-names.XXXXXX")
export WINEPREFIX="$repo/build-bench-win/bench-wineprefix" WINEDEBUG=-all
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# build SOURCE DIR: the stand-in in DIR, the Windows build in DIR-win.
build() {
  local source=$1 dir=$2
  cmake -S "$source" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_TESTS=OFF >/dev/null
  ninja -C "$dir" -j "$jobs" tavrel >/dev/null
  cmake -S "$source" -B "$dir-win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake" \
    -DTAVREL_TESTS=OFF >/dev/null
  ninja -C "$dir-win" -j "$jobs" tavrel.exe >/dev/null
}
echo "== build (Release) in build-bench/ and build-bench-win/"
build "$repo" "$repo/build-bench"
versions=(after)
if [[ -n $before ]]; then
  echo "== build of $before"
  mkdir "$work/src"
  git -C "$repo" archive "$before" | tar -x -C "$work/src"
  build "$work/src" "$work/build"
  versions=(before after)
fi

mkdir -p "$WINEPREFIX"
"$wineserver" -p  # one server for every run
"$wine" wineboot -i >/dev/null 2>&1 || true

echo "== folders and list files in $work"
python3 - "$work" "$names" <<'PY'
import os, random, sys
work, names = sys.argv[1], int(sys.argv[2])
windows = lambda p: "Z:" + p.replace("/", "\\")
def folder(path, count):
    os.makedirs(path)
    files = ["file%04d%s" % (i, (".dll", ".exe", ".txt")[i % 3]) for i in range(count)]
    for f in files:
        open(os.path.join(path, f), "w").close()
    return files
rng = random.Random(10)
for label, count in (("big", 4000), ("small", 10)):
    files = folder(os.path.join(work, label), count)
    picked = [files[i * count // names] if count >= names else rng.choice(files)
              for i in range(names)]
    rng.shuffle(picked)
    with open(os.path.join(work, label + ".lst"), "w") as out:
        out.writelines(windows(os.path.join(work, label, f)) + "\r\n" for f in picked)
for t in range(20):
    for s in range(25):
        folder(os.path.join(work, "tree", "pkg%02d" % t, "module%02d" % s), 400)
PY
win() { printf 'Z:%s' "${1//\//\\}"; }

# run BACKEND VERSION OUT ARGS...: one run of tavrel.
run() {
  local backend=$1 version=$2 out=$3
  shift 3
  local dir="$repo/build-bench"
  [[ $version == after ]] || dir="$work/build"
  if [[ $backend == standin ]]; then
    "$dir/tavrel" "$@" >"$out"
  else
    "$wine" "$dir-win/tavrel.exe" "$@" >"$out"
  fi
}
# measure COMMAND...: "wall cpu" of one run in milliseconds, cpu being the
# user and system time of the processes it started (under Wine, not the
# server's).
measure() {
  local start end cpu
  start=$(date +%s%N)
  cpu=$( { TIMEFORMAT='%3U %3S'; time "$@"; } 2>&1 >/dev/null | awk 'END { printf "%d", ($1 + $2) * 1000 }')
  end=$(date +%s%N)
  echo "$(((end - start) / 1000000)) $cpu"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# same FILE REFERENCE: the runs of one case give the same lines.
same() {
  if ! cmp -s "$1" "$2"; then
    echo "name_bench: $1 differs from $2" >&2
    exit 1
  fi
}

summary=()
for backend in standin wine; do
  n=$rounds
  [[ $backend == wine ]] && n=$wine_rounds

  echo "== $backend: (a) $names list lines, 4,000-file folder against 10-file folder"
  run "$backend" after "$work/big.ref" "/L:$(win "$work/big.lst")"
  run "$backend" after "$work/small.ref" "/L:$(win "$work/small.lst")"
  found=$(grep -c . "$work/big.ref")
  [[ $found -eq $names ]] || { echo "name_bench: $backend found $found of $names" >&2; exit 1; }
  big_t=() small_t=() ratios=() big_c=() small_c=() cpu_ratios=()
  for ((i = 1; i <= n; i++)); do
    read -r b bc < <(measure run "$backend" after "$work/big.out" "/L:$(win "$work/big.lst")")
    read -r s sc < <(measure run "$backend" after "$work/small.out" "/L:$(win "$work/small.lst")")
    same "$work/big.out" "$work/big.ref"
    same "$work/small.out" "$work/small.ref"
    big_t+=("$b") small_t+=("$s") big_c+=("$bc") small_c+=("$sc")
    ratios+=("$(awk -v b="$b" -v s="$s" 'BEGIN { printf "%.2f", b / (s > 0 ? s : 1) }')")
    cpu_ratios+=("$(awk -v b="$bc" -v s="$sc" 'BEGIN { printf "%.2f", b / (s > 0 ? s : 1) }')")
    printf '  round %d: 4,000 files %6d ms (cpu %5d)   10 files %6d ms (cpu %5d)\n' \
      "$i" "$b" "$bc" "$s" "$sc"
  done
  m() { printf '%s\n' "$@" | median; }
  summary+=("$(printf '%-8s (a) %d names: 4,000 files %s ms, 10 files %s ms, ratio %s; cpu %s / %s ms, ratio %s' \
    "$backend" "$names" "$(m "${big_t[@]}")" "$(m "${small_t[@]}")" "$(m "${ratios[@]}")" \
    "$(m "${big_c[@]}")" "$(m "${small_c[@]}")" "$(m "${cpu_ratios[@]}")")")

  for mask in file0123.dll absent.dll '*.dll'; do
    label=$([[ $mask == '*.dll' ]] && echo c || echo b)
    echo "== $backend: ($label) $mask /R, 200,000 files: ${versions[*]}"
    declare -A times=()
    for version in "${versions[@]}"; do
      run "$backend" "$version" "$work/$version.ref" "$(win "$work/tree")\\$mask" /R
    done
    [[ ${#versions[@]} -eq 1 ]] || same "$work/before.ref" "$work/after.ref"
    ratios=()
    declare -A cpu=()
    for ((i = 1; i <= n; i++)); do
      line="  round $i:"
      declare -A took=()
      order=("${versions[@]}")
      ((i % 2)) || mapfile -t order < <(printf '%s\n' "${versions[@]}" | tac)  # each first in turn
      for version in "${order[@]}"; do
        read -r t c < <(measure run "$backend" "$version" "$work/$version.out" \
          "$(win "$work/tree")\\$mask" /R)
        same "$work/$version.out" "$work/after.ref"
        took[$version]=$t
        times[$version]+="$t "
        cpu[$version]+="$c "
        line+=$(printf ' %s %6d ms (cpu %5d)' "$version" "$t" "$c")
      done
      if [[ -n $before ]]; then
        ratios+=("$(awk -v a="${took[after]}" -v b="${took[before]}" \
          'BEGIN { printf "%.2f", a / (b > 0 ? b : 1) }')")
      fi
      unset took
      echo "$line"
    done
    line=$(printf '%-8s (%s) %-12s /R, %d lines:' "$backend" "$label" "$mask" \
      "$(grep -c . "$work/after.ref")")
    for version in "${versions[@]}"; do
      line+=$(printf ' %s %s ms (cpu %s)' "$version" \
        "$(printf '%s\n' ${times[$version]} | median)" "$(printf '%s\n' ${cpu[$version]} | median)")
    done
    [[ -z $before ]] || line+=" after/before $(printf '%s\n' "${ratios[@]}" | median)"
    summary+=("$line")
    unset times cpu
  done
done

echo
echo "== summary (medians)"
printf '%s\n' "${summary[@]}"
