#!/usr/bin/env bash
# nginx with the site in deploy/nginx in front of the score server (tests/server/nginx_site.sh),
# TLS with a throw-away self-signed certificate: the game's submission over https, the page over
# https, plain http sent there, a forged address header, a burst of scores.
#   nginx_front.sh PATH-TO-tapdash-scores
# Exit 77 (skipped) where nginx, openssl or curl is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
server_exe="$(realpath "${1:?usage: nginx_front.sh PATH-TO-tapdash-scores}")"
nginx="${NGINX:-/usr/sbin/nginx}"
for tool in "$nginx" openssl curl python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

work="$(mktemp -d)"
# shellcheck source=nginx_site.sh
. "$root/tests/server/nginx_site.sh"
trap 'stop_front; rm -rf "$work"' EXIT

"$root/tests/support/tls_authority.sh" "$work" --self-signed cert=DNS:scores.example.org
# The server as the unit file runs it, with a stand-in for the browser build.
mkdir "$work/play"
printf '<!doctype html>\n' >"$work/play/index.html"
printf '\0asm\1\0\0\0' >"$work/play/tapdash.wasm"
start_front "$work/cert.pem" "$work/cert.key" --web "$work/play"

http="http://127.0.0.1:$http_port"
https="https://scores.example.org:$https_port"
tls=(--cacert "$work/cert.pem" --resolve "scores.example.org:$https_port:127.0.0.1")
q="first_name=Ann%20Lee&last_name=Lee&addr=1%20Secret%20Rd&country=UK&score=1500"

# The game: https, no headers of its own. A client's own X-Real-IP is replaced by nginx.
status="$(curl -s -o /dev/null -w '%{http_code}' "${tls[@]}" -H 'X-Real-IP: 203.0.113.9' "$https/tapdash/top1.php?$q")"
[ "$status" = 200 ] || fail "a submission through nginx answered $status"
place="$(curl -s "${tls[@]}" "$https/tapdash/top2.php?$q")"
[ "$place" = 1 ] || fail "the place through nginx was '$place'"
echo "ok   a submission through nginx is recorded and its place answered"
grep -q '^127\.0\.0\.1 - - .*"GET /tapdash/top1.php HTTP/1.[01]" 200 0' "$work/server.log" ||
  fail "the server's access log has no line for the submission"
grep -q '203\.0\.113\.9' "$work/server.log" && fail "a client's forged X-Real-IP reached the server"
[ -s "$work/tapdash-scores.access.log" ] || fail "nginx wrote no access log"
grep -q 'Secret' "$work/tapdash-scores.access.log" "$work/error.log" && fail "nginx logged a player's address"
echo "ok   the server sees the address nginx saw, not one the client claims"

# People: the page over TLS; plain http is sent there.
page="$(curl -s -D "$work/headers" "${tls[@]}" "$https/tapdash/")"
grep -q '<bdi>Ann Lee</bdi>' <<<"$page" || fail "the page over https does not show the score"
grep -qi '^strict-transport-security:' "$work/headers" || fail "no Strict-Transport-Security"
redirect="$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' "$http/tapdash/")"
[[ "$redirect" == "301 https://"*"/tapdash/" ]] ||
  fail "the page over http answered '$redirect'"
echo "ok   the page is served over TLS, and plain http is sent there"

# The browser build over TLS: its types, and a start's worth of files (about 120) not refused.
types="$(curl -s -w '%{http_code} %{content_type};' "${tls[@]}" -o /dev/null "$https/tapdash/play/" \
  -o /dev/null "$https/tapdash/play/tapdash.wasm")"
[ "$types" = "200 text/html; charset=utf-8;200 application/wasm;" ] || fail "the browser build: $types"
# shellcheck disable=SC2046
codes="$(curl -s -w '%{http_code} ' "${tls[@]}" $(for _ in $(seq 120); do echo "-o /dev/null $https/tapdash/play/tapdash.wasm"; done))"
[ "$(grep -o 200 <<<"$codes" | wc -l)" = 120 ] || fail "120 files of the browser build: $codes"
echo "ok   the browser build is served over TLS with its types, 120 files at once"

# Plain http carries no scores: a submission there is sent to https and never reaches the server.
lines_before="$(wc -l <"$work/server.log")"
redirect="$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' "$http/tapdash/top1.php?$q")"
[[ "$redirect" == "301 https://"*"/tapdash/top1.php?"* ]] || fail "a submission over http answered '$redirect'"
[ "$(wc -l <"$work/server.log")" = "$lines_before" ] || fail "a submission over plain http reached the server"
echo "ok   a submission over plain http is sent to https and never reaches the server"

# A burst of scores: nginx and the server's own limits refuse most of it.
codes=""
burst_started=$SECONDS
for n in $(seq 1 30); do
  codes+="$(curl -s -o /dev/null -w '%{http_code}' "${tls[@]}" "$https/tapdash/top1.php?first_name=Bot$n&last_name=X&addr=a&country=UK&score=100") "
done
accepted="$(grep -o 200 <<<"$codes" | wc -l)"
refused="$(grep -o 429 <<<"$codes" | wc -l)"
# Five left of the server's six (one a minute more, should this run very slowly).
[ "$accepted" -le $((5 + (SECONDS - burst_started) / 60)) ] && [ $((accepted + refused)) -eq 30 ] ||
  fail "a burst of 30 scores: $codes"
echo "ok   a burst of 30 scores: $accepted recorded, $refused refused with 429"

# A header longer than nginx takes never reaches the server.
long="$(head -c 20000 /dev/zero | tr '\0' a)"
status="$(curl -s -o /dev/null -w '%{http_code}' -H "X-Long: $long" "$http/tapdash/top2.php?$q")"
[ "$status" = 400 ] || [ "$status" = 431 ] || [ "$status" = 494 ] || fail "a 20 KB header answered $status"
echo "ok   a 20 KB header is refused by nginx ($status)"
# The unit file as systemd reads it, where systemd is at hand.
if command -v systemd-analyze >/dev/null; then
  sed "s#/usr/local/bin/tapdash-scores#$server_exe#" "$root/deploy/tapdash-scores.service" \
    >"$work/tapdash-scores.service"
  for unit in tapdash-scores-backup.service tapdash-scores-backup.timer; do
    sed "s#/usr/local/bin/tapdash-scores#$server_exe#" "$root/deploy/$unit" >"$work/$unit"
  done
  systemd-analyze verify "$work/tapdash-scores.service" "$work/tapdash-scores-backup.service" \
    "$work/tapdash-scores-backup.timer" || fail "systemd-analyze verify of the units"
  echo "ok   the unit files pass systemd-analyze verify"
fi
echo "all passed"
