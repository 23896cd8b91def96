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

work="$(mktemp -d)"
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then kill -TERM "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

"$server_exe" --port 0 --bind 127.0.0.1 --db "$work/scores.db" >"$work/server.out" 2>&1 &
server_pid=$!
base=""
for _ in $(seq 1 100); do
  base="$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$work/server.out" || true)"
  [ -n "$base" ] && break
  sleep 0.1
done
if [ -z "$base" ]; then
  echo "the score server did not start:"; cat "$work/server.out"; exit 1
fi

node "$here/page_audit.mjs" "$base" "$chromium"
