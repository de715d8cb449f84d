#!/usr/bin/env bash
# Runs one script client with Wine's cscript in the build's prefix. The script gets the
# repository's root as a Windows path in its first argument.
# Wine's script host ends a script silently with exit code 0 on an unhandled error, so a
# run passes only when the script also printed "all checks passed".
set -uo pipefail
script=$1
root=$2
here=$(cd "$(dirname "$0")" && pwd)
winroot="Z:$(echo "$root" | sed 's|/|\\|g')"
winscript="Z:$(echo "$script" | sed 's|/|\\|g')"
output=$("$here/../../cmake/wine-run.sh" cscript //nologo "$winscript" "$winroot" 2>&1)
rc=$?
printf '%s\n' "$output"
[ $rc -eq 0 ] || exit $rc
case "$output" in
  *"all checks passed"*) exit 0 ;;
  *) echo "run-script: $(basename "$script") ended without reporting that all checks passed" >&2; exit 1 ;;
esac
