#!/usr/bin/env bash
# The score server behind nginx with the site in deploy/nginx, both as plain processes on
# loopback ports (no root service). Sourced with `root`, `server_exe`, `work` set:
#   start_front CERT KEY [SERVER-OPTION...]  sets server_pid, nginx_pid, http_port, https_port
#   stop_front
# FRONT_LIMITS=off leaves out nginx's per-address limits (for the load bench). Run as a command,
#   nginx_site.sh PATH-TO-tapdash-scores CERT KEY WORK [SERVER-OPTION...]
# it prints "ready HTTP-PORT HTTPS-PORT" once both answer and serves until its input closes or
# it is sent SIGTERM.

fail() { echo "FAIL $*"; echo "--- nginx error log"; cat "$work/error.log" 2>/dev/null || true; exit 1; }
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

stop_front() {
  for pid in ${nginx_pid:-} ${server_pid:-}; do kill -TERM "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  nginx_pid=""
  server_pid=""
}

start_front() {
  local cert="$1" key="$2"
  shift 2
  chmod 755 "$work"   # nginx's workers may run as another user when this runs as root
  # The server as the unit file runs it.
  "$server_exe" --port 0 --bind 127.0.0.1 --db "$work/scores.db" --trust-proxy on \
    --connections-per-address 0 "$@" >"$work/server.out" 2>"$work/server.log" &
  server_pid=$!
  server_port=""
  for _ in $(seq 1 200); do
    server_port="$(grep -o '127\.0\.0\.1:[0-9]*' "$work/server.out" | cut -d: -f2 || true)"
    [ -n "$server_port" ] && break
    kill -0 "$server_pid" 2>/dev/null || fail "the score server did not start"
    sleep 0.1
  done
  [ -n "$server_port" ] || fail "the score server did not start"

  # Two free ports may be taken by someone else before nginx binds them: then new ones are tried.
  local started="" file
  for _ in 1 2 3 4 5; do
    http_port="$(free_port)"
    https_port="$(free_port)"
    for file in "$root"/deploy/nginx/*; do
      file="$(basename "$file")"
      sed -e "s#listen 80;#listen 127.0.0.1:$http_port;#" \
          -e "s#listen 443 ssl http2;#listen 127.0.0.1:$https_port ssl http2;#" \
          -e '/listen \[::\]/d' \
          -e "s#/etc/letsencrypt/live/scores.example.org/fullchain.pem#$cert#" \
          -e "s#/etc/letsencrypt/live/scores.example.org/privkey.pem#$key#" \
          -e "s#/etc/nginx/snippets/#$work/#" \
          -e "s#127.0.0.1:8080#127.0.0.1:$server_port#" \
          -e "s#/var/log/nginx/#$work/#" \
          "$root/deploy/nginx/$file" >"$work/$file"
    done
    [ "${FRONT_LIMITS:-on}" = off ] && sed -i -e '/^limit_/d' "$work/tapdash-scores-limits.conf"
    mkdir -p "$work/tmp"
    chmod 777 "$work/tmp"
    cat >"$work/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 256; }
http {
  access_log $work/nginx-access.log;
  # A test may speak for a client at another address (an IPv6 one) in X-Test-Client.
  set_real_ip_from 127.0.0.1;
  real_ip_header X-Test-Client;
  client_body_temp_path $work/tmp/body;
  proxy_temp_path $work/tmp/proxy;
  fastcgi_temp_path $work/tmp/fastcgi;
  uwsgi_temp_path $work/tmp/uwsgi;
  scgi_temp_path $work/tmp/scgi;
  include $work/tapdash-scores;
}
CONF
    "${NGINX:-/usr/sbin/nginx}" -e "$work/error.log" -p "$work" -c "$work/nginx.conf" &
    nginx_pid=$!
    for _ in $(seq 1 200); do
      if curl -s -o /dev/null "http://127.0.0.1:$http_port/"; then started=yes; break; fi
      kill -0 "$nginx_pid" 2>/dev/null || break
      sleep 0.1
    done
    [ -n "$started" ] && break
    kill -TERM "$nginx_pid" 2>/dev/null || true; wait "$nginx_pid" 2>/dev/null || true; nginx_pid=""
  done
  [ -n "$started" ] || fail "nginx did not start"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  root="$(cd "$(dirname "$0")/../.." && pwd)"
  server_exe="$(realpath "$1")"
  work="$4"
  reader=""
  trap stop_front EXIT
  trap '[ -n "$reader" ] && kill "$reader" 2>/dev/null; exit 0' TERM INT
  start_front "$2" "$3" "${@:5}"
  echo "ready $http_port $https_port"
  cat <&0 >/dev/null &  # explicitly: a background job would otherwise read /dev/null
  reader=$!
  wait "$reader" || true
fi
