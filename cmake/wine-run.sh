#!/bin/sh
# Runs a Windows program under Wine (the cross builds' test emulator), in a
# prefix of the build's own: $TAVREL_WINEPREFIX, else beside the program's
# build tree.  The one place that says which Wine: $TAVREL_WINE, else
# Debian's; `wine-run.sh --wine` prints it (its wineserver is beside it).
wine=${TAVREL_WINE:-/usr/lib/wine/wine64}
if [ "${1:-}" = --wine ]; then
  echo "$wine"
  exit
fi
if [ -z "${TAVREL_WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  TAVREL_WINEPREFIX=$dir/wineprefix
fi
export WINEPREFIX="$TAVREL_WINEPREFIX" WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
exec "$wine" "$@"
