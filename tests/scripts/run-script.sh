#!/usr/bin/env bash
# Runs one script client with Wine's cscript in the build's prefix.
# Paths given to the script: argument 1 is the repository's root as a Windows path.
set -euo pipefail
script=$1
root=$2
here=$(cd "$(dirname "$0")" && pwd)
winroot="Z:$(echo "$root" | sed 's|/|\\|g')"
winscript="Z:$(echo "$script" | sed 's|/|\\|g')"
exec "$here/../../cmake/wine-run.sh" cscript //nologo "$winscript" "$winroot"
