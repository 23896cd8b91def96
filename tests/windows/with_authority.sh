#!/usr/bin/env bash
# Runs a command with a throw-away authority trusted by Wine:
#   with_authority.sh AUTHORITY.pem COMMAND [ARGUMENT...]
# Wine's certificate checks trust only the host's authorities, which its crypt32 reads from
# /etc/ssl/certs/ca-certificates.crt (a certificate added to a Root store from a program is not
# among them). The command runs in a private mount namespace where that file also holds the
# given authority, with TAPDASH_TEST_TLS_TRUSTED set; nothing outside it changes.
# Exit 77 (skipped) without the authority file or where a mount namespace is not allowed.
set -euo pipefail
authority="$1"
shift
roots=/etc/ssl/certs/ca-certificates.crt
[ -s "$authority" ] || { echo "skipped: no authority at $authority"; exit 77; }
unshare -m true 2>/dev/null || { echo "skipped: no private mount namespace here"; exit 77; }
bundle="$(mktemp)"
trap 'rm -f "$bundle"' EXIT
cat "$roots" "$authority" >"$bundle"
TAPDASH_TEST_TLS_TRUSTED=1 unshare -m sh -c 'mount --bind "$0" "$1" && shift && exec "$@"' \
  "$bundle" "$roots" "$@"
