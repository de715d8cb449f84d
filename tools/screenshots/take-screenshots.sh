#!/usr/bin/env bash
# Takes the README's pictures: the To Do List on the sample workspace and both tabs of
# Configure View, in a Wine prefix with the X11 driver under Xvfb, saved as PNG in docs/.
#   tools/screenshots/take-screenshots.sh [build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
export QRC_WINEPREFIX=$build/wineprefix QRC_WINE_GRAPHICS=x11
run=$root/cmake/wine-run.sh

# Wine's own fonts (Tahoma, Marlett for the caption buttons) make the dialogs look as on Windows.
if ! dpkg -s fonts-wine >/dev/null 2>&1; then
  if [ "$(id -u)" = 0 ]; then
    apt-get install -y --no-install-recommends fonts-wine >/dev/null || { apt-get update -q && apt-get install -y --no-install-recommends fonts-wine; }
  else
    echo "take-screenshots: install fonts-wine for Wine's own fonts" >&2
  fi
fi

# Second stage, run by xvfb-run with the display set.
if [ "${2:-}" = --inside ]; then
  work=$3
  # Windows drawn by Wine itself, as on Windows: no window manager decorations.
  "$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
  "$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  "$root/tests/scripts/register-components.sh" "$build/bin" >/dev/null
  "$run" "$build/bin/qrcscreenshots.exe" "Z:$(echo "$work/workspace.xml" | sed 's|/|\\|g')" "Z:$(echo "$work" | sed 's|/|\\|g')"
  WINEPREFIX=$QRC_WINEPREFIX-x11 /usr/lib/wine/wineserver -k 2>/dev/null || true
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/sim/data/sample-workspace.xml" "$work/workspace.xml"
xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" --inside "$work"
for name in todolist configureview-columns configureview-filter; do
  convert "$work/$name.bmp" "$root/docs/$name.png"
  echo "docs/$name.png"
done
