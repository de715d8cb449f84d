#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (run as root):
#   tools/qrc.sh demo   installs what is missing, builds, registers and runs the main job
#   tools/qrc.sh test   installs what is missing, builds and runs every test
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
          libwine-dev wine64 fonts-wine googletest xvfb xauth imagemagick unzip)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

build() {
  cmake --preset default >/dev/null
  cmake --build build
}

# No Wine process outlives the run.
stop_wine() {
  WINEPREFIX="$root/build/wineprefix" /usr/lib/wine/wineserver -w 2>/dev/null || true
  WINEPREFIX="$root/build/wineprefix-x11" /usr/lib/wine/wineserver -w 2>/dev/null || true
  for prefix in "$root"/build/wineprefix-hostile_documents "$root"/build/wineprefix-command_sequences_*; do
    [ -d "$prefix" ] && WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w 2>/dev/null || true
  done
}

case "${1:-}" in
  demo)
    install_missing
    build
    trap stop_wine EXIT
    demo/run-demo.sh "$root/build" "${@:2}"
    ;;
  test)
    install_missing
    build
    trap stop_wine EXIT
    # Tests that share the main prefix lock it (RESOURCE_LOCK registry) and run one at a
    # time; the hostile documents and command sequences run beside them, each in a prefix
    # of its own.
    # Every failure fails the run; only a program Wine itself could not start is run once
    # more (cmake/wine-run.sh).
    ctest --test-dir build --output-on-failure -j4
    ;;
  *)
    echo "usage: $0 demo|test" >&2
    exit 2
    ;;
esac
