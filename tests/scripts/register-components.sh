#!/usr/bin/env bash
# Registers the library and every partner component found in the bin folder.
set -euo pipefail
bin=$1
run="$(cd "$(dirname "$0")" && pwd)/../../cmake/wine-run.sh"
for dll in "$bin"/QRCIGEFrameworkSvcs.dll "$bin"/sim*.dll; do
  [ -f "$dll" ] || continue
  "$run" regsvr32 /s "Z:$(echo "$dll" | sed 's|/|\\|g')" || { echo "registering $dll failed" >&2; exit 1; }
  echo "registered $(basename "$dll")"
done
for exe in "$bin"/sim*server.exe; do
  [ -f "$exe" ] || continue
  "$run" "$exe" /RegServer || { echo "registering $exe failed" >&2; exit 1; }
  echo "registered $(basename "$exe")"
done
