#!/usr/bin/env bash
# The release as a player meets it, under Wine (WINEPREFIX as tests/windows/run.sh sets it up),
# made by installer/package.sh from the build's program folder. Given a code-signing certificate
# (a throw-away one made here by openssl) it signs Tapdash.exe, tapdash-player.exe, the
# uninstaller and the installer, each accepted by `osslsigncode verify`; given none, it says
# plainly that nothing was signed. No timestamp server is reachable from here, so these
# signatures carry no timestamp (TAPDASH_SIGN_TIMESTAMP_URL=none): that step is only exercised
# by a publisher's own run. The signed installer, silent, installs for the one user without
# administrator rights into %LOCALAPPDATA%\Programs\Tapdash with its Start-menu entries; a
# reinstall keeps the player's scores; an uninstall removes the game but keeps best.dat and
# config.dat, and keeps the player's own files in the game's folders (a folder named score of
# sheet music in Documents).
#   tests/windows/installer_test.sh <program folder> <tapdash.ico> <scratch folder>
# (the version is the one in CMakeLists.txt, which the installed programs list shows too).
set -euo pipefail
program="$1" icon="$2" work="$3"
package="$(cd "$(dirname "$0")/../.." && pwd)/installer/package.sh"
fail() { echo "FAILED: $*" >&2; exit 1; }
version="$(sed -n 's/^project(Tapdash VERSION \([0-9.]*\) .*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")"
# The folder questions go through the test programs' launcher, which starts Wine again when it
# ended before it began. The installer and the uninstaller write nothing even when they fail, so
# they run once, as a player runs them.
launch="$(cd "$(dirname "$0")" && pwd)/wine_launch.sh"
rm -rf "$work"
mkdir -p "$work"

"$(dirname "$0")/../support/tls_authority.sh" "$work" --self-signed --code-signing publisher
openssl pkcs12 -export -inkey "$work/publisher.key" -in "$work/publisher.pem" -out "$work/publisher.pfx" \
  -passout pass:"throw away"
TAPDASH_SIGN_PFX="$work/publisher.pfx" TAPDASH_SIGN_PASSWORD="throw away" \
  TAPDASH_SIGN_TIMESTAMP_URL=none "$package" "$program" "$icon" "$work/signed" >"$work/signed.out"
grep -q "NOT SIGNED" "$work/signed.out" && fail "a signed build said it was not signed"
setup="$work/signed/Tapdash-$version-setup.exe"
verify() {
  osslsigncode verify -CAfile "$work/publisher.pem" -in "$1" >"$work/verify.out" 2>&1 ||
    fail "$1 does not carry a valid signature: $(tail -n 3 "$work/verify.out")"
}
verify "$setup"

zip="$work/signed/Tapdash-$version-windows.zip"
zip_list="$(unzip -Z1 "$zip")"
for entry in Tapdash/Tapdash.exe Tapdash/tapdash-player.exe Tapdash/best.dat Tapdash/menu/ Tapdash/TestSpk/; do
  grep -qx "$entry" <<<"$zip_list" || fail "the zip has no $entry"
done
[ "$(grep -c '\.vgz$\|\.wav$' <<<"$zip_list")" -eq 118 ] || fail "the zip does not hold the 118 sound files"
grep -q 'config.dat' <<<"$zip_list" && fail "the zip holds a config.dat"
unzip -q "$zip" -d "$work/zip"
verify "$work/zip/Tapdash/Tapdash.exe"
verify "$work/zip/Tapdash/tapdash-player.exe"

folder="$(winepath -u "$("$launch" cmd /c echo %LOCALAPPDATA% | tr -d '\r')")/Programs/Tapdash"
start_menu="$(winepath -u "$("$launch" cmd /c echo %APPDATA% | tr -d '\r')")/Microsoft/Windows/Start Menu/Programs/Tapdash"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tapdash'
rm -rf "$folder" "$start_menu"

wine "$setup" /S
for file in Tapdash.exe tapdash-player.exe best.dat Uninstall.exe menu/start_game.vgz; do
  [ -e "$folder/$file" ] || fail "installed without $file"
done
[ -s "$folder/best.dat" ] && fail "a fresh best.dat is not empty"
[ -e "$start_menu/Tapdash.lnk" ] || fail "no Start-menu entry"
wine reg query "$key" /v UninstallString >/dev/null || fail "no entry among the installed programs"
wine reg query "$key" /v DisplayVersion | grep -qF "$version" || fail "the installed programs list no $version"
verify "$folder/Tapdash.exe"
verify "$folder/Uninstall.exe"

echo "scores" >"$folder/best.dat"
echo "details" >"$folder/config.dat"
wine "$setup" /S
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

# Without a certificate: the same release, unsigned, and said so.
env -u TAPDASH_SIGN_PFX "$package" "$program" "$icon" "$work/unsigned" >"$work/unsigned.out"
grep -q "NOT SIGNED" "$work/unsigned.out" || fail "an unsigned build did not say so"
osslsigncode verify -in "$work/unsigned/Tapdash-$version-setup.exe" >/dev/null 2>&1 &&
  fail "the unsigned installer carries a signature"
rm -rf "$work"
echo "signed with a certificate, each of the four programs verified, installed, kept the player's files; unsigned without, and said so"
