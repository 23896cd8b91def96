#!/usr/bin/env bash
# nginx with the site in deploy/nginx in front of the score server (tests/server/nginx_site.sh),
# TLS with a throw-away self-signed certificate: the game's submission over https, the page over
# https, plain http sent there, a forged address header, a burst of scores, the headers of every
# reply, IPv6 clients counted by /64, and no log holding a player's address with the server down.
#   nginx_front.sh PATH-TO-tapdash-scores
# Exit 77 (skipped) where nginx, openssl or curl is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
server_exe="$(realpath "${1:?usage: nginx_front.sh PATH-TO-tapdash-scores}")"
for tool in "${NGINX:-/usr/sbin/nginx}" openssl curl python3; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

work="$(mktemp -d)"
# shellcheck source=nginx_site.sh
. "$root/tests/server/nginx_site.sh"
trap 'stop_front; rm -rf "$work"' EXIT

"$root/tests/support/tls_authority.sh" "$work" --self-signed cert=DNS:scores.example.org
# The server as the unit file runs it, with the browser build's page and a stand-in for the rest.
mkdir "$work/play"
cp "$root/platform/web/page/index.html" "$work/play/index.html"
printf '\0asm\1\0\0\0' >"$work/play/tapdash.wasm"
start_front "$work/cert.pem" "$work/cert.key" --web "$work/play"

http="http://127.0.0.1:$http_port"
https="https://scores.example.org:$https_port"
tls=(--cacert "$work/cert.pem" --resolve "scores.example.org:$https_port:127.0.0.1")
q="first_name=Ann%20Lee&last_name=Lee&addr=1%20Secret%20Rd&country=UK&score=1500"

# The game: https, no headers of its own. A client's own X-Real-IP is replaced by nginx.
status="$(curl -s -o /dev/null -w '%{http_code}' "${tls[@]}" -H 'X-Real-IP: 203.0.113.9' "$https/tapdash/top1.php?$q")"
[ "$status" = 200 ] || fail "a submission through nginx answered $status"
place="$(curl -s "${tls[@]}" -H "Origin: $https" "$https/tapdash/top2.php?$q")"  # as the browser build
[ "$place" = 1 ] || fail "the place through nginx was '$place'"
echo "ok   a submission through nginx is recorded and its place answered"
curl -s -o /dev/null "${tls[@]}" -H 'X-Real-IP: 203.0.113.9' "$https/tapdash/"
grep -q '"GET /tapdash/top1.php HTTP/1.[01]" 200 0' "$work/server.log" &&
  grep -q '^127\.0\.0\.1 - - .*"GET /tapdash/ HTTP/1.[01]" 200' "$work/server.log" ||
  fail "the server's access log lacks the submission, or the page with nginx's address"
grep -q '203\.0\.113\.9' "$work/server.log" && fail "a client's forged X-Real-IP reached the server"
[ -s "$work/tapdash-scores.access.log" ] || fail "nginx wrote no access log"
grep -q 'Secret' "$work/tapdash-scores.access.log" "$work/error.log" && fail "nginx logged a player's address"
echo "ok   the server sees the address nginx saw, not one the client claims"
grep 'top[12]\.php' "$work/tapdash-scores.access.log" | grep -q '127\.0\.0\.1' &&
  fail "nginx's access log ties a client address to a submission"
echo "ok   nginx's access log holds no client address for top1.php and top2.php"

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

# Headers on every reply, the server's and nginx's own (404, 429): each once; frames refused; the
# top ten page runs no script; each page's inline style is allowed by its hash; no cache keeps a
# reply to a URL holding a player's details.
style_hashes='import base64, hashlib, re, sys
for style in re.findall(r"<style>(.*?)</style>", open(sys.argv[1], encoding="utf-8").read(), re.S):
    print("sha256-" + base64.b64encode(hashlib.sha256(style.encode()).digest()).decode())'
for path in /tapdash/ /tapdash/play/ "/tapdash/top2.php?$q" /tapdash/top1.php /elsewhere; do
  curl -s -o "$work/body" -D "$work/headers" "${tls[@]}" "$https$path"
  for header in content-security-policy x-frame-options referrer-policy x-content-type-options; do
    [ "$(grep -ci "^$header:" "$work/headers")" = 1 ] || fail "$path: $header is not sent once"
  done
  policy="$(grep -i '^content-security-policy:' "$work/headers")"
  grep -q "frame-ancestors 'none'" <<<"$policy" || fail "$path may be framed: $policy"
  [[ "$path" == /tapdash/play/ ]] || [[ "$policy" == *"default-src 'none'"* && "$policy" != *script-src* ]] ||
    fail "$path may run scripts: $policy"
  grep -q '<style>' "$work/body" && for hash in $(python3 -c "$style_hashes" "$work/body"); do
    grep -qF "'$hash'" <<<"$policy" || fail "$path: the policy does not allow its style '$hash'"
  done
  cache="$(grep -i '^cache-control:' "$work/headers" | tr -d '\r' | tr '[:upper:]' '[:lower:]' || true)"
  [[ "$path" != /tapdash/top* ]] || [ "$cache" = "cache-control: no-store" ] || fail "$path: $cache"
done
echo "ok   every reply carries its security headers once, each page's policy fitting it"

# IPv6 clients are counted by /64: with 16 requests of 2001:db8:1:2::a held open (each waiting to
# send its body), another from the same /64 is refused, one from the next /64 is not.
statuses="$(python3 - "$https_port" "$work/cert.pem" <<'PY'
import socket, ssl, sys
context = ssl.create_default_context(cafile=sys.argv[2])
def status(client, held):
    tls = context.wrap_socket(socket.create_connection(("127.0.0.1", int(sys.argv[1]))),
                              server_hostname="scores.example.org")
    body = "Content-Length: 10\r\nExpect: 100-continue\r\n" if held else ""
    tls.sendall(f"{'POST' if held else 'GET'} /tapdash/ HTTP/1.1\r\nHost: scores.example.org\r\n"
                f"X-Test-Client: {client}\r\n{body}\r\n".encode())
    return tls, tls.makefile("rb").readline().split(b" ")[1].decode()  # held: counted once told 100
held = [status("2001:db8:1:2::a", True) for _ in range(16)]
print(*sorted({code for _, code in held}), status("2001:db8:1:2::b", False)[1],
      status("2001:db8:1:3::a", False)[1])
PY
)"
[ "$statuses" = "100 429 200" ] || fail "16 held, then one from the same /64 and one from the next: $statuses"
echo "ok   an IPv6 client is counted by its /64"

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
# At most five left of the server's six (one a minute more, should this run very slowly).
[ "$accepted" -le $((5 + (SECONDS - burst_started) / 60)) ] && [ $((accepted + refused)) -eq 30 ] ||
  fail "a burst of 30 scores: $codes"
echo "ok   a burst of 30 scores: $accepted recorded, $refused refused with 429"

# A header longer than nginx takes never reaches the server.
long="$(head -c 20000 /dev/zero | tr '\0' a)"
status="$(curl -s -o /dev/null -w '%{http_code}' -H "X-Long: $long" "$http/tapdash/top2.php?$q")"
[ "$status" = 400 ] || [ "$status" = 431 ] || [ "$status" = 494 ] || fail "a 20 KB header answered $status"
echo "ok   a 20 KB header is refused by nginx ($status)"

# The score server down: nginx answers 502, and none of its logs holds the player's address. The
# requests come from a client of their own, whose limits the burst above has not spent.
kill -TERM "$server_pid" && wait "$server_pid" || true
codes="$(curl -s -w '%{http_code} ' "${tls[@]}" -H "X-Test-Client: 198.51.100.7" \
  -o /dev/null "$https/tapdash/top1.php?$q" \
  -o /dev/null "$https/tapdash/top2.php?$q" -o /dev/null "$https/tapdash/?addr=Secret")"
[ "$codes" = "502 502 502 " ] || fail "with the server down: $codes"
grep -l 'Secret' "$work"/*.log && fail "with the server down, nginx logged a player's address"
echo "ok   with the server down, no log of nginx's holds a player's address"
# The unit file as systemd reads it, where systemd is at hand.
if command -v systemd-analyze >/dev/null; then
  for unit in tapdash-scores.service tapdash-scores-backup.service tapdash-scores-backup.timer; do
    sed "s#/usr/local/bin/tapdash-scores#$server_exe#" "$root/deploy/$unit" >"$work/$unit"
  done
  systemd-analyze verify "$work/tapdash-scores.service" "$work/tapdash-scores-backup.service" \
    "$work/tapdash-scores-backup.timer" || fail "systemd-analyze verify of the units"
  echo "ok   the unit files pass systemd-analyze verify"
  # The backup unit reads the same database: it is sandboxed no worse than the server.
  exposures="$(for unit in tapdash-scores-backup tapdash-scores; do systemd-analyze security --offline=true \
    "$work/$unit.service" 2>&1 | grep -o 'level for .*: [0-9.]*' | grep -o '[0-9.]*$'; done | xargs)"
  awk -v e="$exposures" 'BEGIN { split(e, x); exit !(x[1] > 0 && x[1] <= x[2]) }' ||
    fail "the backup unit's exposure is above the server's: $exposures"
  echo "ok   the backup unit is sandboxed as the server is (exposures $exposures)"
fi
echo "all passed"
