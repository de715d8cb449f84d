#!/usr/bin/env bash
# The main job: the To Do List opened by a host program (qrcdemo.exe) over a workspace of
# the simulated host.
#   run-demo.sh <build dir> [workspace file]
# With a display (DISPLAY set) it is a real window to work in; changes persist in the
# workspace file (by default build/demo/workspace.xml, a copy of the sample made once).
# Without a display it runs under Xvfb and plays the recorded walk-through, saving a
# screenshot after each step and the report workbook into build/demo-output.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
workspace=${2:-}
export QRC_WINEPREFIX=$build/wineprefix QRC_WINE_GRAPHICS=x11
run=$root/cmake/wine-run.sh
winpath() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }

if [ "${QRC_DEMO_STAGE:-}" = inside ]; then
  # Under Xvfb: Wine draws its own window frames, as on Windows.
  "$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
  "$run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  "$root/tests/scripts/register-components.sh" "$build/bin" >/dev/null
  "$run" "$build/bin/qrcdemo.exe" "$(winpath "$QRC_DEMO_WORKSPACE")" --walkthrough "$(winpath "$QRC_DEMO_OUTPUT")"
  exit $?
fi

if [ -n "${DISPLAY:-}" ]; then
  if [ -z "$workspace" ]; then
    workspace=$build/demo/workspace.xml
    mkdir -p "$build/demo"
    [ -f "$workspace" ] || cp "$root/sim/data/sample-workspace.xml" "$workspace"
  fi
  "$root/tests/scripts/register-components.sh" "$build/bin" >/dev/null
  echo "Opening the To Do List on $workspace (close the window to end)"
  "$run" "$build/bin/qrcdemo.exe" "$(winpath "$(cd "$(dirname "$workspace")" && pwd)/$(basename "$workspace")")"
  exit $?
fi

out=$build/demo-output
rm -rf "$out"
mkdir -p "$out"
# The walk-through changes its workspace: it works on a copy.
cp "${workspace:-$root/sim/data/sample-workspace.xml}" "$out/workspace.xml"
echo "No display: playing the recorded walk-through under Xvfb"
status=0
# The screenshots are taken as BMP and turned into PNG below: name them so at once.
QRC_DEMO_STAGE=inside QRC_DEMO_WORKSPACE=$out/workspace.xml QRC_DEMO_OUTPUT=$out \
  xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" 2> >(grep -v '^X connection to' >&2) | sed 's/\r$//; s/\.bmp$/.png/' || status=$?
WINEPREFIX=$QRC_WINEPREFIX-x11 /usr/lib/wine/wineserver -k 2>/dev/null || true
for bmp in "$out"/*.bmp; do
  [ -f "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
echo
echo "Output in $out:"
ls -1 "$out" | sed "s|^|  $out/|"
exit $status
