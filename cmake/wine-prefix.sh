#!/usr/bin/env bash
# Makes a private Wine prefix once: no Mono or Gecko installer, and the "null"
# graphics driver so that windows, dialogs and message boxes work without a display.
#
# A booted prefix holds about 1.3 GB of copied system DLLs, and every test program
# group has a prefix of its own. So one prefix is booted per folder of prefixes
# (.wineprefix-template beside them) and each prefix is a copy of it whose unchanging
# files are hard links. Wine never rewrites those files in place; the registry files,
# which it does rewrite (by writing a new file and renaming it), are real copies.
set -euo pipefail
prefix=$1
graphics=${2:-null}
[ -f "$prefix/.qrc-ready" ] && exit 0
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Runs "$@" once under an exclusive lock named after $1's folder.
with_lock() {
  local lock=$1.lock
  shift
  (
    flock 9
    "$@"
  ) 9>"$lock"
}

# set_graphics <prefix> <driver>: the prefix's graphics driver, its server ended after.
set_graphics() {
  WINEPREFIX=$1 /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$2" /f >/dev/null 2>&1
  WINEPREFIX=$1 /usr/lib/wine/wineserver -w
}

boot_template() {
  local template=$1
  [ -f "$template/.qrc-ready" ] && return 0
  rm -rf "$template"
  mkdir -p "$template"
  WINEPREFIX=$template /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  set_graphics "$template" null
  [ -f "$template/system.reg" ] || { echo "wine-prefix: booting $template failed" >&2; exit 1; }
  touch "$template/.qrc-ready"
}

clone_template() {
  local template=$1
  [ -f "$prefix/.qrc-ready" ] && return 0
  rm -rf "$prefix"
  # (A folder that takes no hard links gets a whole copy.)
  cp -al "$template" "$prefix" 2>/dev/null || { rm -rf "$prefix"; cp -a "$template" "$prefix"; }
  rm "$prefix/.qrc-ready"
  # The links go first: copying onto one would write the template's file.
  cp --remove-destination "$template"/*.reg "$prefix"/
  [ "$graphics" = null ] || set_graphics "$prefix" "$graphics"
  touch "$prefix/.qrc-ready"
}

template=$(dirname "$prefix")/.wineprefix-template
mkdir -p "$(dirname "$prefix")"
with_lock "$template" boot_template "$template"
with_lock "$prefix" clone_template "$template"
