#!/usr/bin/env bash
# Starts one Windows test program under Wine on a German keyboard layout, for CTest:
#   german_layout.sh program.exe [arguments]
# Wine's X11 driver takes its keyboard layout from the X server's when the program starts, so the
# program gets a virtual display of its own whose layout is German; the Wine server and prefix are
# the suite's. -noreset: a server that resets when its last client leaves forgets the layout.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
display_file="$(mktemp)"
exec {display_fd}>"$display_file"
Xvfb -displayfd "$display_fd" -noreset -nolisten tcp -screen 0 640x480x24 >/dev/null 2>&1 &
xvfb_pid=$!
exec {display_fd}>&-
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -f "$display_file"' EXIT
until [ -s "$display_file" ]; do
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "german_layout: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
export DISPLAY=":$(head -n1 "$display_file")"
setxkbmap de
setxkbmap -query | grep -q '^layout: *de$' || { echo "german_layout: no German layout" >&2; exit 1; }
"$here/wine_launch.sh" "$@"
