#!/usr/bin/env bash
# The main job: registers the library in the build's private Wine prefix and runs a
# script client against it, printing what it got.
set -euo pipefail
build=$1
root=$(cd "$(dirname "$0")/.." && pwd)
export QRC_WINEPREFIX=$build/wineprefix
"$root/tests/scripts/register-components.sh" "$build/bin"
"$root/cmake/wine-run.sh" cscript //nologo "Z:$(echo "$root/demo/tasklist-client.vbs" | sed 's|/|\\|g')"
