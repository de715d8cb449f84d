#!/usr/bin/env bash
# Both DLLs registered in one prefix, as on a machine with 64-bit and 32-bit hosts: a
# 64-bit and a 32-bit script client each create both classes, make a call on each, and
# are served by the DLL of their own bitness (the 32-bit classes live in the 32-bit
# registry view).
#   both-architectures.sh <x64 build dir> <x86 build dir>
set -euo pipefail
x64=$(cd "$1" && pwd) x86=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
run=$here/../../cmake/wine-run.sh
winpath() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
export QRC_WINEPREFIX=$x64/wineprefix-both-architectures

# The 64-bit regsvr32 hands the x86 DLL to the 32-bit one, as on Windows.
for build in "$x64" "$x86"; do
  QRC_WINE_LOADER=/usr/lib/wine/wine64 "$run" regsvr32 /s "$(winpath "$build/bin/QRCIGEFrameworkSvcs.dll")"
done
status=0
for host in "64 /usr/lib/wine/wine64 $x64" "32 /usr/lib/wine/wine $x86"; do
  read -r bits loader build <<< "$host"
  said=$(QRC_WINE_LOADER=$loader "$run" cscript //nologo "$(winpath "$here/installed_client.vbs")" \
         "$(winpath "$build/bin/QRCIGEFrameworkSvcs.dll")" | tr -d '\r')
  echo "both architectures registered, $bits-bit script host: $said"
  [ "$said" = "all checks passed" ] || status=1
done
for build in "$x64" "$x86"; do
  QRC_WINE_LOADER=/usr/lib/wine/wine64 "$run" regsvr32 /u /s "$(winpath "$build/bin/QRCIGEFrameworkSvcs.dll")"
done
exit $status
