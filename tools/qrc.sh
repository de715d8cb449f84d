#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (run as root):
#   tools/qrc.sh demo   installs what is missing, builds, registers and runs the main job
#   tools/qrc.sh test   installs what is missing, builds and runs every test
#   tools/qrc.sh package  installs what is missing, builds the Windows Installer packages
# Every command builds both architectures: x64 in build/, x86 in build-x86/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
          libwine-dev wine64 fonts-wine googletest xvfb xauth imagemagick unzip
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine32:i386 wixl)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -q
    apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# build_one <preset> <build folder>
build_one() {
  cmake --preset "$1" >/dev/null
  cmake --build "$2"
}

build() {
  build_one default build
  build_one x86 build-x86
}

# package_one <build folder>: that architecture's Windows Installer package (target msi),
# whose registry rows are harvested by registering the built DLL.
package_one() {
  cmake --build "$1" --target msi
}

# Whether this machine runs 32-bit Windows programs: the x86 build's probe must print its
# line under the 32-bit Wine loader. When it cannot, prints why. QRC_X86_PROBE_FAIL=1
# gives the probe a loader that cannot start, as on machines that cannot run 32-bit code.
x86_unavailable() {
  local loader=/usr/lib/wine/wine said
  [ -z "${QRC_X86_PROBE_FAIL:-}" ] || loader=/nonexistent/wine
  said=$(QRC_WINEPREFIX="$root/build-x86/wineprefix" QRC_WINE_LOADER=$loader timeout 300 \
         cmake/wine-run.sh build-x86/bin/qrcprobe.exe 2>&1 | tr -d '\r') || true
  if [ "$said" != "32-bit code runs" ]; then
    echo "a 32-bit program does not run here: ${said:-no output}"
    return 0
  fi
  return 1
}

# No Wine process outlives the run: cmake/wine-run.sh keeps each prefix's server up
# between programs, so it is stopped here.
stop_wine() {
  for prefix in "$root"/build/wineprefix* "$root"/build-x86/wineprefix*; do
    [ -d "$prefix" ] && WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
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
    build_one default build
    package_one build  # the package test installs it
    trap stop_wine EXIT
    # Tests that share the main prefix lock it (RESOURCE_LOCK registry) and run one at a
    # time; the hostile documents, command sequences and the package run beside them, each
    # in a prefix of its own.
    # Every failure fails the run; only a program Wine itself could not start is run once
    # more (cmake/wine-run.sh).
    # The x64 tests wait mostly on the Wine server: they run while x86 builds, and their
    # output follows once both architectures are done.
    ctest --test-dir build --output-on-failure -j4 > build/ctest.log 2>&1 &
    x64_tests=$!
    build_one x86 build-x86
    x86_status=0 x86_note=
    if reason=$(x86_unavailable); then
      x86_note="x86: the tests were skipped ($reason); the x64 results stand."
    else
      { package_one build-x86 &&
        ctest --test-dir build-x86 --output-on-failure -j4 &&
        tests/install/both-architectures.sh build build-x86; } || x86_status=$?
    fi
    x64_status=0
    wait "$x64_tests" || x64_status=$?
    echo "x64 tests (build/ctest.log):"
    cat build/ctest.log
    [ -z "$x86_note" ] || echo "$x86_note"
    [ "$x64_status" -eq 0 ] && [ "$x86_status" -eq 0 ]
    ;;
  package)
    install_missing
    build
    trap stop_wine EXIT
    package_one build
    if reason=$(x86_unavailable); then
      echo "x86: no package ($reason): its registry rows come from registering the 32-bit DLL"
    else
      package_one build-x86
    fi
    ls -1 build/package/*.msi build-x86/package/*.msi 2>/dev/null
    ;;
  *)
    echo "usage: $0 demo|test|package" >&2
    exit 2
    ;;
esac
