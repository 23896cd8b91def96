#!/usr/bin/env bash
# The browser build's transfer and start figures (bench/web_transfer.mjs) against the real score
# server on loopback, serving what script/web left in build-web/site/play (or SITE):
#   script/web && bench/web_transfer.sh [ROUNDS] [SITE] [ready]
set -euo pipefail
cd "$(dirname "$0")/.."
tests/browser/setup.sh >/dev/null
# shellcheck source=../server/scratch_server.sh
. server/scratch_server.sh build/server/tapdash-scores --web "${2:-build-web/site/play}"
node bench/web_transfer.mjs "$base" "${CHROMIUM:-/usr/bin/chromium}" "${1:-10}" "${3:-}"
