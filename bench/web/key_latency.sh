#!/usr/bin/env bash
# The browser build's key-to-sound latency in headless Chromium (key_latency.mjs), with a pack
# that is silent but for the key click, served by the real score server on loopback.
#   bench/web/key_latency.sh [KEYS]     (default 100; builds what it needs in build-bench/ and
#                                       build-web/, script/web's tree: script/build-tree)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
tests/browser/setup.sh >/dev/null
export NODE_PATH=/usr/share/nodejs
script/build-tree bench tapdash-scores web_click_pack tapdash_icons >/dev/null
script/build-tree web tapdash >/dev/null
site="$(mktemp -d)"
build-bench/bench/web_click_pack "$site/pack"
python3 platform/web/make_site.py --build build-web/tapdash --pack "$site/pack" --icons build-bench/tools/icons \
  --out "$site/play"
# shellcheck source=../../server/scratch_server.sh
. server/scratch_server.sh build-bench/server/tapdash-scores --web "$site/play"
trap 'stop_scratch_server; rm -rf "$site"' EXIT
node bench/web/key_latency.mjs "$base" "${CHROMIUM:-/usr/bin/chromium}" "${1:-100}"
