#!/usr/bin/env bash
# The browser build's key-to-sound latency in headless Chromium (key_latency.mjs), with a pack
# that is silent but for the key click, served by the real score server on loopback.
#   bench/web/key_latency.sh [KEYS]     (default 100; builds what it needs in build-bench-web*/)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
tests/browser/setup.sh >/dev/null
export NODE_PATH=/usr/share/nodejs
cmake -S . -B build-bench-web-linux -DCMAKE_BUILD_TYPE=Release -DTAPDASH_SANITIZE=OFF \
  -DTAPDASH_TESTS=OFF -DTAPDASH_BENCH=ON >/dev/null
cmake --build build-bench-web-linux -j2 --target tapdash-scores web_click_pack >/dev/null
emcmake cmake -S . -B build-bench-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench-web -j2 --target tapdash >/dev/null
site="$(mktemp -d)"
build-bench-web-linux/bench/web_click_pack "$site/pack"
python3 platform/web/make_site.py --build build-bench-web/tapdash --pack "$site/pack" --out "$site/play"
# shellcheck source=../../server/scratch_server.sh
. server/scratch_server.sh build-bench-web-linux/server/tapdash-scores --web "$site/play"
trap 'stop_scratch_server; rm -rf "$site"' EXIT
node bench/web/key_latency.mjs "$base" "${CHROMIUM:-/usr/bin/chromium}" "${1:-100}"
