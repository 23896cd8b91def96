#!/usr/bin/env bash
# Installs what the browser check of the top ten page needs: Debian's chromium, and axe-core and
# puppeteer-core from npm into tests/browser/node_modules (no browser is downloaded).
set -euo pipefail
cd "$(dirname "$0")"

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
for pkg in chromium nodejs; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends chromium nodejs npm
    break
  fi
done

export PUPPETEER_SKIP_DOWNLOAD=1
if [ -f package-lock.json ]; then
  npm ci --no-audit --no-fund --silent
else
  npm install --no-audit --no-fund --silent
fi
