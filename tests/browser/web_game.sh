#!/usr/bin/env bash
# Serves the browser build with the tone pack from the real score server on a free loopback port
# and plays it in headless Chromium (web_game.mjs), its sound captured into the scratch folder.
# Exit 77 (skipped) when there is no browser build (emscripten missing), no Chromium or no node
# modules.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
server_exe="${1:?usage: web_game.sh tapdash-scores WEB-PROGRAM-FOLDER TONE-PACK ICON-FOLDER}"
web_build="$2"
tones="$3"
icons="$4"
chromium="${CHROMIUM:-/usr/bin/chromium}"
if [ ! -f "$web_build/tapdash.wasm" ]; then
  echo "skipped: no browser build in $web_build (needs emscripten: script/web builds it)"; exit 77
fi
if [ ! -x "$chromium" ] || ! command -v node >/dev/null || [ ! -d "$here/node_modules/puppeteer-core" ] ||
   [ ! -d "$here/node_modules/axe-core" ]; then
  echo "skipped: needs $chromium, node and tests/browser/node_modules (run tests/browser/setup.sh)"; exit 77
fi
site="$(mktemp -d)"
# The tone pack's intro lasts 0.6 s: lengthened to 20 s, so that Ctrl still cuts it when a busy
# machine holds the page (and so the test's press) back for seconds.
cp -r "$tones" "$site/pack"
/usr/bin/python3 - "$here/../e2e" "$site/pack" <<'PY'
import os, sys
sys.path.insert(0, sys.argv[1])
import capture, live
pack = sys.argv[2]
intro = capture.load_tones(pack)["game\\game_intro.vgz"]
with open(os.path.join(pack, "game", "game_intro.vgz"), "wb") as out:
    out.write(live.stored_sound(live.tone_samples(intro.frequency, 20.0, intro.peak_db), 16000))
table = open(os.path.join(pack, "tones.txt")).read()
table = table.replace(f"{intro.file} {intro.frequency} {intro.length_ms} ", f"{intro.file} {intro.frequency} 20000 ")
open(os.path.join(pack, "tones.txt"), "w").write(table)
PY
python3 "$here/../../platform/web/make_site.py" --build "$web_build" --pack "$site/pack" --icons "$icons" \
  --out "$site/play"
# shellcheck source=../../server/scratch_server.sh
. "$here/../../server/scratch_server.sh" "$server_exe" --web "$site/play"
trap 'stop_scratch_server; rm -rf "$site"' EXIT
node "$here/web_game.mjs" "$base" "$chromium" "$site/capture.raw" "$site/pack"
