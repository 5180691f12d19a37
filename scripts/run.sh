#!/usr/bin/env bash
# Builds the native tavrel (the POSIX stand-in) and runs it with the given
# arguments, e.g.  scripts/run.sh 'Z:\etc\*.conf' /R
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVREL_TESTS=OFF >/dev/null
ninja -C build tavrel >/dev/null
exec ./build/tavrel "$@"
