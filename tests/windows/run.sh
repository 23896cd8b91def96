#!/usr/bin/env bash
# The Windows build's tests, from script/test: cross-builds the test program and Tapdash.exe
# with mingw-w64 and runs them under Wine on a virtual display: the game's unit and scenario
# tests, the Win32 backend's own tests, the end-to-end session on Tapdash.exe, and
# tapdash-player.exe at Wine's console.
# The trees are script/windows's build-win/ and script/play's build/ (its packs, icon and score
# server), as script/build-tree configures them. Arguments go to ctest, after the defaults, to run
# some tests or to repeat one in the same set-up:
#   tests/windows/run.sh [-R win32_https --repeat until-fail:50 ...]
set -euo pipefail
cd "$(dirname "$0")/../.."
host="$PWD/build"
build="$PWD/build-win"
jobs="$(nproc)"

script/build-tree play tapdash-scores
script/build-tree win

# A scratch Wine prefix that never offers to download mono or gecko, with ALSA as its sound
# driver; its server stays up for the whole run so that each test starts Wine quickly.
export WINEPREFIX="$build/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export HOME="$build/wine-home"
# The server needs the prefix folder to exist; wineboot fills it.
mkdir -p "$HOME" "$WINEPREFIX"
xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null || true
  [ -n "${front_PID:-}" ] && { kill "$front_PID" 2>/dev/null; wait "$front_PID" 2>/dev/null; } || true
  rm -f "$build/scores.db"
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
read -r DISPLAY xvfb_pid < <(tests/support/xvfb.py) || { echo "tests/windows: Xvfb did not start" >&2; exit 1; }
export DISPLAY
# The server takes part in every wait of the game's threads: ahead of other work where we may.
if [ "$(id -u)" -eq 0 ]; then nice -n -10 wineserver -p; else wineserver -p; fi
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null

# The Linux build's score server on a loopback port, for the WinINet test against it.
server="$host/server/tapdash-scores"
server_pid=""
if [ -x "$server" ]; then
  "$server" --port 0 --bind 127.0.0.1 --db "$build/scores.db" >"$build/server.out" 2>&1 &
  server_pid=$!
  for _ in $(seq 1 100); do
    base="$(grep -o 'http://127\.0\.0\.1:[0-9]*' "$build/server.out" || true)"
    [ -n "$base" ] && break
    sleep 0.1
  done
  export TAPDASH_TEST_SCORE_SERVER="${base:-}"
else
  echo "tests/windows: no $server; the WinINet test against the score server is skipped"
fi

# The nginx front over TLS (tests/server/nginx_site.sh), its certificate for localhost from a
# throw-away authority, for the WinINet test of https (trusted through tests/windows/with_authority.sh).
# Its server takes more scores from one address than a player may send, so that the test can be
# repeated.
tls="$build/tls"
if [ -x "$server" ] && [ -x /usr/sbin/nginx ] && command -v openssl >/dev/null; then
  rm -rf "$tls" && mkdir -p "$tls/front"
  tests/support/tls_authority.sh "$tls" front=DNS:localhost
  coproc front { tests/server/nginx_site.sh "$server" "$tls/front.pem" "$tls/front.key" "$tls/front" \
    --rate-limit off; }
  read -r ready _ tls_port <&"${front[0]}" || true
  if [ "${ready:-}" = ready ]; then
    export TAPDASH_TEST_TLS_PORT="$tls_port"
  else
    echo "tests/windows: the TLS front did not start; the WinINet https test is skipped"
  fi
fi

ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"
