#!/usr/bin/env bash
# The package of one architecture as an administrator meets it, in a fresh Wine prefix
# of its own ($QRC_WINEPREFIX): an older package installed silently and the package
# installed over it (exactly one left), a script client of the package's bitness using
# both classes, the registry it wrote compared with what regsvr32 writes for the same DLL
# (paths and registry views aside), a repair after the DLL and a ProgID were lost, and an uninstall that
# leaves nothing it wrote.
#   package-test.sh <package.msi> <product.wxs> <built DLL> <upgrade code> <version> <x64|x86>
set -euo pipefail
msi=$1 product=$2 library=$3 upgrade_code=$4 version=$5 arch=$6
here=$(cd "$(dirname "$0")" && pwd)
run=$here/../../cmake/wine-run.sh
prefix=${QRC_WINEPREFIX:?the package test needs a prefix of its own}
winpath() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
fail() { echo "FAIL $*"; exit 1; }

if [ "$arch" = x64 ]; then
  bits=64 program_files="Program Files"
else
  bits=32 program_files="Program Files (x86)"
fi
installed="C:\\$program_files\\QRCIGEFrameworkSvcs\\QRCIGEFrameworkSvcs.dll"
installed_unix="$prefix/drive_c/$program_files/QRCIGEFrameworkSvcs/QRCIGEFrameworkSvcs.dll"
built=$(winpath "$(dirname "$library")")

# A server left from an earlier run of this test would serve the deleted prefix.
[ ! -d "$prefix" ] || WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$prefix"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wine() { "$run" "$@"; }
# Windows Installer and regsvr32 as an administrator runs them: the 64-bit ones.
admin() { QRC_WINE_LOADER=/usr/lib/wine/wine64 "$run" "$@"; }
# HKLM\Software\Classes but Windows Installer's own records, a "[key]" line per key and a
# "[key] value" line per value, with the DLL's folder (installed or built, with or without
# its last backslash) as <folder>, and each key once, in small letters, whichever registry view holds it:
# registration copies the type library and its interfaces into the other view, and Wine
# keeps a ProgID that a 32-bit program writes in the shared view, Windows Installer in the
# 32-bit one. Backslashes stand doubled in an export.
doubled() { printf '%s' "$1" | sed 's/\\/\\\\/g'; }
classes() {
  admin reg export 'HKLM\Software\Classes' "$(winpath "$work/classes.reg")" /y >/dev/null
  iconv -f UTF-16 -t UTF-8 "$work/classes.reg" | tr -d '\r' |
    INSTALLED=$(doubled "C:\\$program_files\\QRCIGEFrameworkSvcs") BUILT=$(doubled "$built") awk '
      function unpath(text,   i, f, folder) {
        for (f = 0; f < 2; ++f) {
          folder = tolower(ENVIRON[f ? "BUILT" : "INSTALLED"])
          while ((i = index(tolower(text), folder)) > 0)
            text = substr(text, 1, i - 1) "<folder>" substr(text, i + length(folder))
        }
        sub(/<folder>\\\\"$/, "<folder>\"", text)
        return text
      }
      /^\[/ { key = tolower($0); sub(/\\classes\\wow6432node/, "\\classes", key)
               own = index(key, "\\classes\\installer") == 0; if (own) print unpath(key); next }
      NF && own { print unpath(key) " " unpath($0) }' | sort -u
}
written() { comm -13 "$work/before" - ; }
versions() { wine cscript //nologo "$(winpath "$here/installed_versions.vbs")" "$upgrade_code" | tr -d '\r'; }
client() {
  local said
  said=$(wine cscript //nologo "$(winpath "$here/installed_client.vbs")" "$installed" | tr -d '\r')
  [ "$said" = "all checks passed" ] || fail "the script client after $1: $said"
}

export QRC_WINEPREFIX=$prefix
# The script host registers its own type library on its first run: before the snapshot.
[ "$(versions)" = "installed:" ] || fail "a fresh prefix with the package installed: $(versions)"
classes > "$work/before"

# An older package first: the package replaces it.
(cd "$(dirname "$library")/.." && wixl -a "$arch" -D ProductVersion=1.0.0 -D LibrarySource=bin/QRCIGEFrameworkSvcs.dll \
   -I "$(dirname "$product")" -o "$work/older.msi" "$product")
admin msiexec /i "$(winpath "$work/older.msi")" /qn || fail "installing the older package (status $?)"
[ "$(versions)" = "installed: 1.0.0" ] || fail "the older package: $(versions)"
admin msiexec /i "$(winpath "$msi")" /qn || fail "installing the package over the older one (status $?)"
[ "$(versions)" = "installed: $version" ] || fail "after installing $version over 1.0.0: $(versions)"
[ -f "$installed_unix" ] || fail "no $installed"
echo "installed $(basename "$msi") over 1.0.0: one product, $version"

client install
classes | written > "$work/package"
[ -s "$work/package" ] || fail "the package wrote no registry entry"

# Repair puts back a lost DLL and a lost ProgID.
rm "$installed_unix"
admin reg delete 'HKCR\QRCGenericSvcs.QRCTaskList' /f "/reg:$bits" >/dev/null
# (Wine's msiexec /f cannot repair; the REINSTALL properties do it as on Windows.)
admin msiexec /i "$(winpath "$msi")" REINSTALL=ALL REINSTALLMODE=amus /qn || fail "repairing (status $?)"
[ -f "$installed_unix" ] || fail "repair did not restore $installed"
classes | written | diff -u "$work/package" - || fail "the registry after repair"
client repair
echo "repaired: the DLL and the registry are back"

admin msiexec /x "$(winpath "$msi")" /qn || fail "uninstalling (status $?)"
[ "$(versions)" = "installed:" ] || fail "after uninstalling: $(versions)"
[ ! -e "$(dirname "$installed_unix")" ] || fail "uninstalling left $(dirname "$installed")"
classes | diff -u "$work/before" - || fail "uninstalling left registry entries"
echo "uninstalled: no file, no registry entry left"

# What regsvr32 writes for the built DLL, paths and views aside, is what the package wrote.
admin regsvr32 /s "$(winpath "$library")" || fail "regsvr32"
classes | written | diff -u "$work/package" - || fail "the package's registry differs from regsvr32's (-package +regsvr32)"
admin regsvr32 /u /s "$(winpath "$library")"
echo "$(wc -l < "$work/package") registry lines, the same as regsvr32 writes"
echo "package test passed"
