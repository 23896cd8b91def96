#!/usr/bin/env bash
# A signed release, under Wine (WINEPREFIX as tests/windows/run.sh sets it up): given a
# code-signing certificate, installer/package.sh signs Tapdash.exe, tapdash-player.exe, the
# uninstaller and the installer, each accepted by `osslsigncode verify`, and the signed installer
# still installs; given none, it says plainly that nothing was signed. The certificate is a
# throw-away one made here by openssl. No timestamp server is reachable from here, so these
# signatures carry no timestamp (TAPDASH_SIGN_TIMESTAMP_URL=none): that step is only exercised
# by a publisher's own run.
#   tests/windows/signing_test.sh <program folder> <tapdash.ico> <scratch folder>
set -euo pipefail
program="$1" icon="$2" work="$3"
package="$(cd "$(dirname "$0")/../.." && pwd)/installer/package.sh"
fail() { echo "FAILED: $*" >&2; exit 1; }
version="$(sed -n 's/^project(Tapdash VERSION \([0-9.]*\) .*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")"
rm -rf "$work"
mkdir -p "$work"

"$(dirname "$0")/../support/tls_authority.sh" "$work" --self-signed --code-signing publisher
openssl pkcs12 -export -inkey "$work/publisher.key" -in "$work/publisher.pem" -out "$work/publisher.pfx" \
  -passout pass:"throw away"
TAPDASH_SIGN_PFX="$work/publisher.pfx" TAPDASH_SIGN_PASSWORD="throw away" \
  TAPDASH_SIGN_TIMESTAMP_URL=none "$package" "$program" "$icon" "$work/signed" >"$work/signed.out"
grep -q "NOT SIGNED" "$work/signed.out" && fail "a signed build said it was not signed"

verify() {
  osslsigncode verify -CAfile "$work/publisher.pem" -in "$1" >"$work/verify.out" 2>&1 ||
    fail "$1 does not carry a valid signature: $(tail -n 3 "$work/verify.out")"
}
unzip -q "$work/signed/Tapdash-$version-windows.zip" -d "$work/zip"
verify "$work/zip/Tapdash/Tapdash.exe"
verify "$work/zip/Tapdash/tapdash-player.exe"
verify "$work/signed/Tapdash-$version-setup.exe"

# The uninstaller exists only once the installer has written it.
installed="$work/installed"
wine "$work/signed/Tapdash-$version-setup.exe" /S "/D=$(winepath -w "$installed")"
[ -e "$installed/Tapdash.exe" ] || fail "the signed installer installed nothing"
verify "$installed/Tapdash.exe"
verify "$installed/Uninstall.exe"
wine "$installed/Uninstall.exe" /S "_?=$(winepath -w "$installed")"

# Without a certificate: the same release, unsigned, and said so.
env -u TAPDASH_SIGN_PFX "$package" "$program" "$icon" "$work/unsigned" >"$work/unsigned.out"
grep -q "NOT SIGNED" "$work/unsigned.out" || fail "an unsigned build did not say so"
osslsigncode verify -in "$work/unsigned/Tapdash-$version-setup.exe" >/dev/null 2>&1 &&
  fail "the unsigned installer carries a signature"
rm -rf "$work"
echo "signed with a certificate, each of the four programs verified; unsigned without, and said so"
