#!/usr/bin/env bash
# Makes a private Wine prefix once: no Mono or Gecko installer, and the "null"
# graphics driver so that windows, dialogs and message boxes work without a display.
set -euo pipefail
prefix=$1
graphics=${2:-null}
[ -f "$prefix/.qrc-ready" ] && exit 0
mkdir -p "$prefix"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.qrc-ready" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
touch "$prefix/.qrc-ready"
