#!/usr/bin/env bash
# Builds the native tavrel (the POSIX stand-in) and runs it with the given
# arguments, e.g.  scripts/run.sh '/L:examples\liste.txt'
#
# Unless you set them yourself, the stand-in's settings point at the sample
# under examples/: %SystemRoot% is its Windows folder, the protected items are
# its catalogue and the registry holds its .reg file's keys.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_TESTS=OFF >/dev/null
ninja -C build tavrel >/dev/null

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
if [ -z "${SystemRoot+set}" ]; then
  export SystemRoot
  SystemRoot=$(windows_path "$PWD/examples/Windows")
fi
if [ -z "${TAVREL_STANDIN_SFC+set}" ]; then
  # The catalogue names the sample's files from %SystemRoot%, which the
  # stand-in does not expand in it.
  catalogue=$PWD/build/sample-catalogue.txt
  while IFS= read -r line; do
    [[ ${line,,} == %systemroot%* ]] && line=$SystemRoot${line:12}
    printf '%s\n' "$line"
  done < examples/catalogue.txt > "$catalogue"
  export TAVREL_STANDIN_SFC=$catalogue
fi
if [ -z "${TAVREL_STANDIN_REGISTRY+set}" ]; then
  export TAVREL_STANDIN_REGISTRY=$PWD/examples/registre.reg
fi
exec ./build/tavrel "$@"
