#!/usr/bin/env bash
# Signs one Windows program in place with Authenticode (SHA-256) and an RFC 3161 timestamp:
#   installer/sign.sh <file.exe> [the name it is shipped as, when the file is a temporary one]
# from the publisher's code-signing certificate and its key in a PKCS#12 file:
#   TAPDASH_SIGN_PFX            the .pfx or .p12 file
#   TAPDASH_SIGN_PASSWORD       its password (read by osslsigncode from a pipe, never a command line)
#   TAPDASH_SIGN_TIMESTAMP_URL  the timestamp server, http://timestamp.digicert.com unless set;
#                               "none" signs without a timestamp, and the signature then ends
#                               with the certificate
# makensis calls it for the uninstaller and the installer as it writes them (see tapdash.nsi).
set -euo pipefail
file="$1"
name="${2:-$(basename "$file")}"
pfx="${TAPDASH_SIGN_PFX:?installer/sign.sh: TAPDASH_SIGN_PFX names no certificate}"
timestamp="${TAPDASH_SIGN_TIMESTAMP_URL:-http://timestamp.digicert.com}"
stamp=()
if [ "$timestamp" = none ]; then
  echo "installer/sign.sh: $name signed WITHOUT a timestamp (TAPDASH_SIGN_TIMESTAMP_URL=none)"
else
  stamp=(-ts "$timestamp")
fi
signed="$file.signed"
rm -f "$signed"
printf '%s' "${TAPDASH_SIGN_PASSWORD:-}" |
  osslsigncode sign -pkcs12 "$pfx" -readpass - -h sha256 -n "Tapdash" "${stamp[@]}" \
    -in "$file" -out "$signed" >/dev/null
mv -f "$signed" "$file"
