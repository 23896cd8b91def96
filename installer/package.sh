#!/usr/bin/env bash
# Packs a Windows program folder for players:
#   installer/package.sh <program folder> <tapdash.ico> <dist folder>
# leaves <dist>/Tapdash-<version>-windows.zip (the folder, to unpack anywhere) and
# <dist>/Tapdash-<version>-setup.exe (the installer), <version> being the one in CMakeLists.txt. Only what is shipped goes in: the executables, the six sound folders and an
# empty best.dat, never the scores or details a run of the build left behind.
# With TAPDASH_SIGN_PFX set, the two programs, the uninstaller and the installer are signed
# (installer/sign.sh says how); without it nothing is, and this says so.
set -euo pipefail
program="$(cd "$1" && pwd)"
icon="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
mkdir -p "$3"
dist="$(cd "$3" && pwd)"
source_dir="$(cd "$(dirname "$0")" && pwd)"
version="$(sed -n 's/^project(Tapdash VERSION \([0-9.]*\) .*/\1/p' "$source_dir/../CMakeLists.txt")"
[ -n "$version" ] || { echo "installer/package.sh: no version in CMakeLists.txt" >&2; exit 1; }
zip_name="Tapdash-$version-windows.zip" setup_name="Tapdash-$version-setup.exe"

stage="$dist/stage"
rm -rf "$stage"
mkdir -p "$stage/Tapdash"
cp "$program/Tapdash.exe" "$program/tapdash-player.exe" "$stage/Tapdash/"
for folder in score game level1 menu learn TestSpk; do
  cp -r "$program/$folder" "$stage/Tapdash/"
done
: >"$stage/Tapdash/best.dat"
cp "$icon" "$stage/tapdash.ico"

# The installer's list of files, made from the folder: install.nsh writes each file but best.dat
# (which the installer writes only where none is), uninstall.nsh removes the same files, then
# each folder deepest first, which NSIS removes only when it is empty.
(
  cd "$stage/Tapdash"
  if find . | grep -q '[^A-Za-z0-9_./-]'; then
    echo "installer/package.sh: a file name the installer's list cannot hold:" >&2
    find . | grep '[^A-Za-z0-9_./-]' >&2
    exit 1
  fi
  for dir in $(find . -type d | sort); do
    echo "SetOutPath \"\$INSTDIR${dir#.}\""
    find "$dir" -mindepth 1 -maxdepth 1 -type f ! -path ./best.dat | sort | sed 's|^\./|File "${SOURCE}/|; s|$|"|'
  done | tr / '\\' >"$stage/install.nsh"
  {
    find . -type f ! -path ./best.dat | sort | sed 's|^\./|Delete "$INSTDIR/|; s|$|"|'
    find . -mindepth 1 -type d | sort -r | sed 's|^\./|RMDir "$INSTDIR/|; s|$|"|'
  } | tr / '\\' >"$stage/uninstall.nsh"
)

sign=()
if [ -n "${TAPDASH_SIGN_PFX:-}" ]; then
  "$source_dir/sign.sh" "$stage/Tapdash/Tapdash.exe"
  "$source_dir/sign.sh" "$stage/Tapdash/tapdash-player.exe"
  sign=(-DSIGN="$source_dir/sign.sh")
fi
rm -f "$dist/$zip_name"
(cd "$stage" && zip -q -r -X "$dist/$zip_name" Tapdash)
makensis -V2 -DSOURCE="$stage/Tapdash" -DOUTFILE="$dist/$setup_name" -DVERSION="$version" \
  "${sign[@]}" "$source_dir/tapdash.nsi"
if [ -z "${TAPDASH_SIGN_PFX:-}" ]; then
  echo "installer/package.sh: NOT SIGNED: no TAPDASH_SIGN_PFX was given, so Tapdash.exe, tapdash-player.exe, the uninstaller and $setup_name carry no signature (see docs/windows.md)"
fi
rm -rf "$stage"
