#!/usr/bin/env bash
# Starts the score server on a free loopback port with a fresh database, then audits its top ten
# page in headless Chromium with axe-core. Exit 77 (skipped) when Chromium or the node modules
# are missing: tests/browser/setup.sh installs them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
server_exe="${1:?usage: page_audit.sh PATH-TO-tapdash-scores}"
chromium="${CHROMIUM:-/usr/bin/chromium}"

if [ ! -x "$chromium" ] || ! command -v node >/dev/null ||
   [ ! -d "$here/node_modules/axe-core" ] || [ ! -d "$here/node_modules/puppeteer-core" ]; then
  echo "skipped: needs $chromium, node and tests/browser/node_modules (run tests/browser/setup.sh)"
  exit 77
fi

# shellcheck source=../../server/scratch_server.sh
. "$here/../../server/scratch_server.sh" "$server_exe"

node "$here/page_audit.mjs" "$base" "$chromium"
