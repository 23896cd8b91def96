#!/usr/bin/env bash
# Installs what the browser check of the top ten page needs: Debian's chromium, and axe-core and
# puppeteer-core from npm into tests/browser/node_modules (no browser is downloaded).
# Node.js and npm are installed from Debian only where there are none: a Node.js from elsewhere
# may bundle its own npm, which Debian's npm package cannot be installed beside.
set -euo pipefail
cd "$(dirname "$0")"

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
updated=no
install() {
  if [ "$updated" = no ]; then
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 update -qq
    updated=yes
  fi
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "$@"
}

if ! dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q 'install ok installed'; then
  install chromium
fi
command -v node >/dev/null || install nodejs
command -v npm >/dev/null || install npm

export PUPPETEER_SKIP_DOWNLOAD=1
if [ -f package-lock.json ]; then
  npm ci --no-audit --no-fund --silent
else
  npm install --no-audit --no-fund --silent
fi
