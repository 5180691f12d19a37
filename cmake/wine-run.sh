#!/bin/sh
# Runs a Windows test program under Wine (the cross builds' test emulator),
# in a prefix of the build's own: $TAVREL_WINEPREFIX, else beside the
# program's build tree.
wine=${TAVREL_WINE:-/usr/lib/wine/wine64}
if [ -z "${TAVREL_WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  TAVREL_WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX="$TAVREL_WINEPREFIX" WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
exec "$wine" "$@"
