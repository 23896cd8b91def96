#!/usr/bin/env bash
# Load test of the score server on loopback with wrk: seeds 10,000 submissions, then measures
# the place request (top2.php) alone, the recording request (top1.php) alone, and the place
# request while scores are being recorded; then the slow and greedy clients check
# (tests/server/hostile_clients.py) on the same optimised build, for its memory figures.
# The server runs with its rate limits off: wrk sends from one address what many players would.
# With --tls, the same through nginx with the site in deploy/nginx and a throw-away certificate
# (tests/server/nginx_site.sh; nginx's per-address limits off too), without the hostile clients.
# Both first time one submission on a new connection, as the game sends it, twenty times.
#   bench/server_bench.sh [--tls] [PATH-TO-tapdash-scores] [SECONDS]
# Without a path it builds an optimised server (no sanitizers) in build-bench/ (script/build-tree).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
front=""
if [ "${1:-}" = --tls ]; then front=tls; shift; fi
server_exe="${1:-}"
seconds="${2:-10}"
threads=2
connections=8

command -v wrk >/dev/null || { echo "wrk is missing (apt-get install wrk)"; exit 1; }
if [ -z "$server_exe" ]; then
  "$root/script/build-tree" bench tapdash-scores >/dev/null
  server_exe="$root/build-bench/server/tapdash-scores"
fi

if [ -n "$front" ]; then
  server_exe="$(realpath "$server_exe")"
  work="$(mktemp -d)"
  # shellcheck source=../tests/server/nginx_site.sh
  . "$root/tests/server/nginx_site.sh"
  trap 'stop_front; rm -rf "$work"' EXIT
  "$root/tests/support/tls_authority.sh" "$work" --self-signed cert=DNS:localhost
  FRONT_LIMITS=off start_front "$work/cert.pem" "$work/cert.key" --rate-limit off
  base="https://localhost:$https_port"
  export CURL_CA_BUNDLE="$work/cert.pem"
else
  # shellcheck source=../server/scratch_server.sh
  . "$root/server/scratch_server.sh" "$server_exe"
fi

# One submission on a new connection, twenty times: the median of the TCP connect, the TLS
# handshake done (0 over plain http) and the reply, in milliseconds.
for n in $(seq 1 20); do
  curl -s -o /dev/null -w '%{time_connect} %{time_appconnect} %{time_total}\n' \
    "$base/tapdash/top1.php?first_name=Timed&last_name=Player$n&addr=Road&country=UK&score=100"
done | python3 -c '
import statistics, sys
rows = [list(map(float, line.split())) for line in sys.stdin]
connect, handshake, reply = (statistics.median(column) * 1000 for column in zip(*rows))
print(f"== one submission on a new connection, median of {len(rows)}: connected {connect:.2f} ms, "
      f"TLS done {handshake:.2f} ms, reply {reply:.2f} ms")'

# Seeding: 10,000 distinct players, sent by two clients at once.
python3 - "$base" <<'PY'
import http.client, os, ssl, sys, threading
scheme, address = sys.argv[1].split("://")
host, port = address.split(":")
def send(first, last):
    if scheme == "https":
        context = ssl.create_default_context(cafile=os.environ["CURL_CA_BUNDLE"])
        connection = http.client.HTTPSConnection(host, int(port), timeout=60, context=context)
    else:
        connection = http.client.HTTPConnection(host, int(port), timeout=60)
    for n in range(first, last):
        connection.request("GET", f"/tapdash/top1.php?first_name=Player%20{n}&last_name=Seed"
                                  f"&addr={n}%20Bench%20Road&country=UK&score={(n * 7919) % 1000 * 100}")
        response = connection.getresponse()
        response.read()
        if response.status != 200:
            sys.exit(f"seeding answered {response.status}")
senders = [threading.Thread(target=send, args=(k * 5000 + 1, k * 5000 + 5001)) for k in range(2)]
for sender in senders: sender.start()
for sender in senders: sender.join()
PY

count_rows() {
  if command -v sqlite3 >/dev/null; then sqlite3 "$work/scores.db" 'SELECT COUNT(*) FROM submissions'; else echo "?"; fi
}

# The place request of one player, who sends the score just before asking, as the game does: a
# place is answered only within two minutes of the score and to the address that sent it.
top2="$base/tapdash/top2.php?first_name=Player%20Bench&last_name=Seed&addr=1%20Bench%20Road&country=UK&score=1000000"
send_bench_player() {
  curl -s -o /dev/null "${top2/top2.php/top1.php}"
  [ "$(curl -s "$top2")" != "" ] || { echo "the bench player has no place"; exit 1; }
}
echo "recorded before measuring: $(count_rows) submissions"
send_bench_player
echo "== top2.php alone, ${seconds}s, $threads threads, $connections connections"
wrk -t"$threads" -c"$connections" -d"${seconds}s" --latency "$top2"

# Recording: distinct players, each request a new row.
cat >"$work/record.lua" <<'LUA'
local threads = {}
function setup(thread)
  thread:set("id", #threads)
  table.insert(threads, thread)
end
function init(args) sent = 0 end
function request()
  sent = sent + 1
  return wrk.format("GET", string.format(
    "/tapdash/top1.php?first_name=Runner%%20%d%%20%d&last_name=Bench&addr=Road&country=UK&score=%d",
    id, sent, (sent % 5000) * 100))
end
LUA
echo "== top1.php alone, ${seconds}s, $threads threads, $connections connections"
wrk -t"$threads" -c"$connections" -d"${seconds}s" --latency -s "$work/record.lua" "$base"

send_bench_player
echo "== top2.php while top1.php is loaded, ${seconds}s: top2 1 thread 8 connections, top1 1 thread 4 connections"
wrk -t1 -c4 -d"${seconds}s" -s "$work/record.lua" "$base" >"$work/record-under-load.txt" &
record_pid=$!
wrk -t1 -c"$connections" -d"${seconds}s" --latency "$top2"
wait "$record_pid"
echo "-- the top1.php load meanwhile:"
cat "$work/record-under-load.txt"
echo "recorded after measuring: $(count_rows) submissions"
echo "server: $(grep -E 'VmHWM|VmRSS' "/proc/$server_pid/status" | tr -s ' \t' ' ' | tr '\n' ' ')"

[ -n "$front" ] && exit 0
echo "== slow and greedy clients"
python3 "$root/tests/server/hostile_clients.py" "$server_exe"
