#!/usr/bin/env bash
# Packs a Windows program folder for players:
#   installer/package.sh <program folder> <tapdash.ico> <dist folder>
# leaves <dist>/Tapdash-windows.zip (the folder, to unpack anywhere) and <dist>/Tapdash-setup.exe
# (the installer). Only what is shipped goes in: the executables, the six sound folders and an
# empty best.dat, never the scores or details a run of the build left behind.
set -euo pipefail
program="$(cd "$1" && pwd)"
icon="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
mkdir -p "$3"
dist="$(cd "$3" && pwd)"
source_dir="$(cd "$(dirname "$0")" && pwd)"

stage="$dist/stage"
rm -rf "$stage"
mkdir -p "$stage/Tapdash"
cp "$program/Tapdash.exe" "$program/tapdash-player.exe" "$stage/Tapdash/"
for folder in score game level1 menu learn TestSpk; do
  cp -r "$program/$folder" "$stage/Tapdash/"
done
: >"$stage/Tapdash/best.dat"
cp "$icon" "$stage/tapdash.ico"

rm -f "$dist/Tapdash-windows.zip"
(cd "$stage" && zip -q -r -X "$dist/Tapdash-windows.zip" Tapdash)
makensis -V2 -DSOURCE="$stage/Tapdash" -DOUTFILE="$dist/Tapdash-setup.exe" "$source_dir/tapdash.nsi"
rm -rf "$stage"
