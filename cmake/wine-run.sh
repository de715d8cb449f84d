#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's private prefix.
# The prefix lives in $QRC_WINEPREFIX (default: <build dir>/wineprefix, found from
# the CMake cache beside the program or the current directory) and is made on first use.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ -z "${QRC_WINEPREFIX:-}" ]; then
  dir=$PWD
  while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] || { echo "wine-run: no build directory above $PWD; set QRC_WINEPREFIX" >&2; exit 2; }
  QRC_WINEPREFIX=$dir/wineprefix
fi
# QRC_WINE_GRAPHICS=x11 runs with a real display (DISPLAY, e.g. Xvfb) in a prefix of
# its own; the default is the "null" driver, which needs no display at all.
graphics=${QRC_WINE_GRAPHICS:-null}
[ "$graphics" = null ] || QRC_WINEPREFIX=$QRC_WINEPREFIX-$graphics
export WINEPREFIX=$QRC_WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
"$here/wine-prefix.sh" "$WINEPREFIX" "$graphics"
# Dates and numbers follow an English (United States) user locale. QRC_WINE_LOADER is
# /usr/lib/wine/wine for the 32-bit builds (their script host must be 32-bit too).
exec env -u LC_ALL LANG=en_US.UTF-8 "${QRC_WINE_LOADER:-/usr/lib/wine/wine64}" "$@"
