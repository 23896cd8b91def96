#!/usr/bin/env bash
# Installs what the voice benchmark needs and the game does not: the off-line recogniser with its
# US English model, and sox to bring each file to the recogniser's level and rate.
set -euo pipefail
missing=()
for pkg in pocketsphinx pocketsphinx-en-us sox python3; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
