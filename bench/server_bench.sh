#!/usr/bin/env bash
# Load test of the score server on loopback with wrk: seeds 10,000 submissions, then measures
# the place request (top2.php) and the recording request (top1.php).
#   bench/server_bench.sh [PATH-TO-tapdash-scores] [SECONDS]
# Without a path it builds an optimised server (no sanitizers) in build-bench/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
server_exe="${1:-}"
seconds="${2:-10}"
threads=2
connections=8   # within the server's worker pool, so no connection waits for a worker

command -v wrk >/dev/null || { echo "wrk is missing (apt-get install wrk)"; exit 1; }
if [ -z "$server_exe" ]; then
  cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DTAPDASH_SANITIZE=OFF \
    -DTAPDASH_TESTS=OFF -DTAPDASH_BENCH=OFF >/dev/null
  cmake --build "$root/build-bench" -j2 --target tapdash-scores >/dev/null
  server_exe="$root/build-bench/server/tapdash-scores"
fi

# shellcheck source=../server/scratch_server.sh
. "$root/server/scratch_server.sh" "$server_exe"

# Seeding: each wrk thread records its share of 10,000 distinct players, then stops.
cat >"$work/seed.lua" <<'LUA'
local counter = 1
local threads = {}
function setup(thread)
  thread:set("id", #threads)
  table.insert(threads, thread)
end
function init(args)
  perThread = tonumber(args[1])
  sent, answered = 0, 0
end
function request()
  sent = sent + 1
  if sent > perThread then return wrk.format("GET", "/tapdash/") end
  local n = id * perThread + sent
  return wrk.format("GET", string.format(
    "/tapdash/top1.php?first_name=Player%%20%d&last_name=Seed&addr=%d%%20Bench%%20Road&country=UK&score=%d",
    n, n, (n * 7919) % 100000))
end
function response(status)
  answered = answered + 1
  if answered >= perThread then wrk.thread:stop() end
end
LUA
wrk -t"$threads" -c"$threads" -d120s -s "$work/seed.lua" "$base" -- $((10000 / threads)) >/dev/null

count_rows() {
  if command -v sqlite3 >/dev/null; then sqlite3 "$work/scores.db" 'SELECT COUNT(*) FROM submissions'; else echo "?"; fi
}
# wrk can lose a request at a reconnection; the rest of the 10,000 are sent one by one.
if command -v sqlite3 >/dev/null && command -v curl >/dev/null; then
  n=20000
  while [ "$(count_rows)" -lt 10000 ]; do
    n=$((n + 1))
    curl -s -o /dev/null "$base/tapdash/top1.php?first_name=Player%20$n&last_name=Seed&addr=$n%20Bench%20Road&country=UK&score=$(((n * 7919) % 100000))"
  done
fi

# The place request of one seeded player.
top2="$base/tapdash/top2.php?first_name=Player%205000&last_name=Seed&addr=5000%20Bench%20Road&country=UK&score=$(((5000 * 7919) % 100000))"
echo "recorded before measuring: $(count_rows) submissions"
echo "== top2.php, ${seconds}s, $threads threads, $connections connections"
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
    id, sent, sent % 5000))
end
LUA
echo "== top1.php, ${seconds}s, $threads threads, $connections connections"
wrk -t"$threads" -c"$connections" -d"${seconds}s" --latency -s "$work/record.lua" "$base"
echo "recorded after measuring: $(count_rows) submissions"
