# Sourced by scripts that need a score server of their own: starts `$1` on a free loopback port
# with a fresh database in a scratch folder, stops it and removes the folder on exit. Sets
# `work` (the scratch folder), `server_pid` and `base` (the server's address). Its rate limits are
# off, since the callers send from 127.0.0.1 what many players would; any further arguments go
# to the server. The access log goes to "$work/access.log".
work="$(mktemp -d)"
server_pid=""
stop_scratch_server() {
  if [ -n "$server_pid" ]; then kill -TERM "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap stop_scratch_server EXIT

"$1" --port 0 --bind 127.0.0.1 --db "$work/scores.db" --rate-limit off "${@:2}" \
  >"$work/server.out" 2>"$work/access.log" &
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
