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

# One Wine server per prefix stays up between programs, started here with none of our
# output. Debian's wineserver script stops a server the moment its last program ends, so
# each program would otherwise start a server of its own, sometimes while the last one is
# still going down, and the services its session starts would keep our error output open
# until they end. QRC_WINESERVER_PERSIST is how long an idle server waits (seconds);
# tools/qrc.sh stops the build's servers when it is done.
# Dates and numbers follow an English (United States) user locale, the server's too.
in_locale=(env -u LC_ALL LANG=en_US.UTF-8)
server_status=0
"${in_locale[@]}" /usr/lib/wine/wineserver -p"${QRC_WINESERVER_PERSIST:-300}" </dev/null >/dev/null 2>&1 || server_status=$?
# (2: a server of this prefix is running already.)
[ "$server_status" -eq 0 ] || [ "$server_status" -eq 2 ] ||
  echo "wine-run: the Wine server of $WINEPREFIX did not start (status $server_status)" >&2

# Runs the program once; its output passes through as it comes and a copy is kept. The
# error output goes to a file, shown when the program ends: Wine's services inherit it and
# may hold it for as long as the server runs.
run_once() {
  set +e
  # QRC_WINE_LOADER is /usr/lib/wine/wine for the 32-bit builds (their script host must
  # be 32-bit too).
  "${in_locale[@]}" "${QRC_WINE_LOADER:-/usr/lib/wine/wine64}" "$@" 2>"$stderr_copy" | tee "$stdout_copy"
  status=${PIPESTATUS[0]}
  set -e
  cat "$stderr_copy" >&2
}

# Why Wine itself could not start the program, or nothing: it failed, printed nothing of
# its own, and every line it left on the error output is Wine's loader or server speaking.
start_failure() {
  [ "$status" -ne 0 ] && [ ! -s "$stdout_copy" ] && [ -s "$stderr_copy" ] || return 0
  grep -qvE "$wine_says" "$stderr_copy" && return 0
  head -n 1 "$stderr_copy"
}
wine_says='^(wine: |wine client error|wineserver: |preloader: )'

# Only a start-up failure is run once more; any other failure is the program's and stands.
stdout_copy=$(mktemp) stderr_copy=$(mktemp)
trap 'rm -f "$stdout_copy" "$stderr_copy"' EXIT
status=0
run_once "$@"
reason=$(start_failure)
if [ -n "$reason" ]; then
  echo "retried: $(basename "${1//\\//}"): $reason" >&2
  run_once "$@"
fi
# A failure without a word of output would leave nothing to go by.
if [ "$status" -ne 0 ] && [ ! -s "$stdout_copy" ] && [ ! -s "$stderr_copy" ]; then
  echo "wine-run: $(basename "${1//\\//}") ended with status $status and printed nothing" >&2
fi
exit "$status"
