#!/usr/bin/env bash
# The installer and the zip as a player meets them, under Wine (WINEPREFIX as tests/windows/run.sh
# sets it up): a silent install for the one user without administrator rights, into
# %LOCALAPPDATA%\Programs\Tapdash with its Start-menu entries; a reinstall that keeps the
# player's scores; an uninstall that removes the game but keeps best.dat and config.dat, and keeps
# the player's own files in the game's folders (a folder named score of sheet music in Documents).
#   tests/windows/installer_test.sh <dist folder holding Tapdash-<version>-setup.exe and the zip>
# (<version> the one in CMakeLists.txt, which the installed programs list shows too).
set -euo pipefail
dist="$(cd "$1" && pwd)"
fail() { echo "FAILED: $*" >&2; exit 1; }
version="$(sed -n 's/^project(Tapdash VERSION \([0-9.]*\) .*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")"
# The folder questions go through the test programs' launcher, which starts Wine again when it
# ended before it began. The installer and the uninstaller write nothing even when they fail, so
# they run once, as a player runs them.
launch="$(cd "$(dirname "$0")" && pwd)/wine_launch.sh"

zip_list="$(unzip -Z1 "$dist/Tapdash-$version-windows.zip")"
for entry in Tapdash/Tapdash.exe Tapdash/tapdash-player.exe Tapdash/best.dat Tapdash/menu/ Tapdash/TestSpk/; do
  grep -qx "$entry" <<<"$zip_list" || fail "the zip has no $entry"
done
[ "$(grep -c '\.vgz$\|\.wav$' <<<"$zip_list")" -eq 112 ] || fail "the zip does not hold the 112 sound files"
grep -q 'config.dat' <<<"$zip_list" && fail "the zip holds a config.dat"

local_appdata="$("$launch" cmd /c echo %LOCALAPPDATA% | tr -d '\r')"
home="$(winepath -u "$local_appdata")"
folder="$home/Programs/Tapdash"
start_menu="$(winepath -u "$("$launch" cmd /c echo %APPDATA% | tr -d '\r')")/Microsoft/Windows/Start Menu/Programs/Tapdash"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tapdash'
rm -rf "$folder" "$start_menu"

wine "$dist/Tapdash-$version-setup.exe" /S
for file in Tapdash.exe tapdash-player.exe best.dat Uninstall.exe menu/start_game.vgz; do
  [ -e "$folder/$file" ] || fail "installed without $file"
done
[ -s "$folder/best.dat" ] && fail "a fresh best.dat is not empty"
[ -e "$start_menu/Tapdash.lnk" ] || fail "no Start-menu entry"
wine reg query "$key" /v UninstallString >/dev/null || fail "no entry among the installed programs"
wine reg query "$key" /v DisplayVersion | grep -qF "$version" || fail "the installed programs list no $version"

echo "scores" >"$folder/best.dat"
echo "details" >"$folder/config.dat"
wine "$dist/Tapdash-$version-setup.exe" /S
[ "$(cat "$folder/best.dat")" = scores ] || fail "a reinstall replaced the player's best.dat"

echo "sheet music" >"$folder/score/concerto.txt"
echo "notes" >"$folder/my notes.txt"

# _?= keeps the uninstaller in place, so that it is waited for.
wine "$folder/Uninstall.exe" /S "_?=$(winepath -w "$folder")"
[ -e "$folder/Tapdash.exe" ] && fail "the uninstaller left Tapdash.exe"
[ -e "$folder/menu" ] && fail "the uninstaller left the sounds"
[ "$(cat "$folder/score/concerto.txt" 2>/dev/null)" = "sheet music" ] ||
  fail "the uninstaller removed the player's own file in the folder score"
[ "$(ls "$folder/score")" = concerto.txt ] || fail "the uninstaller left sounds beside the player's file"
[ "$(cat "$folder/my notes.txt" 2>/dev/null)" = notes ] || fail "the uninstaller removed the player's notes"
[ -e "$start_menu" ] && fail "the uninstaller left the Start-menu entries"
wine reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left its registry entry"
[ "$(cat "$folder/best.dat")" = scores ] || fail "the uninstaller removed best.dat"
[ "$(cat "$folder/config.dat")" = details ] || fail "the uninstaller removed config.dat"
rm -rf "$folder"
echo "installer and zip as expected"
