#!/usr/bin/env bash
# Runs a Wine command with a throw-away authority trusted:
#   with_authority.sh AUTHORITY.pem COMMAND [ARGUMENT...]
# Wine trusts the authorities in its prefix's registry. The first program of a prefix that opens
# the Root store copies the host's list (/etc/ssl/certs/ca-certificates.crt) there, once for the
# whole prefix: programs that start meanwhile wait and take that copy, and a later copy from a list
# without the authority takes it out again (a certificate a program adds to a Root store itself
# is not trusted). So a program of a shared prefix that runs beside others trusts the authority or
# not by chance. The command runs in a prefix of its own, WINEPREFIX with "-authority" after it
# (made on first use, kept for the next run), in a private mount namespace where that file also
# holds the given authority, with TAPDASH_TEST_TLS_TRUSTED set; nothing outside it changes.
# Exit 77 (skipped) without the authority file or where a mount namespace is not allowed.
set -euo pipefail
authority="$1"
shift
roots=/etc/ssl/certs/ca-certificates.crt
[ -s "$authority" ] || { echo "skipped: no authority at $authority"; exit 77; }
unshare -m true 2>/dev/null || { echo "skipped: no private mount namespace here"; exit 77; }
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}-authority"
bundle="$(mktemp)"
trap 'wineserver -k 2>/dev/null || true; rm -f "$bundle"' EXIT
if [ ! -e "$WINEPREFIX/made" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Until its services are idle and its registry written.
  wineserver -w
  touch "$WINEPREFIX/made"
fi
cat "$roots" "$authority" >"$bundle"
TAPDASH_TEST_TLS_TRUSTED=1 unshare -m sh -c 'mount --bind "$0" "$1" && shift && exec "$@"' \
  "$bundle" "$roots" "$@"
