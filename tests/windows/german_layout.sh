#!/usr/bin/env bash
# Starts one Windows test program under Wine on a German keyboard layout, for CTest:
#   german_layout.sh program.exe [arguments]
# Wine's X11 driver takes its keyboard layout from the X server's when the program starts, so the
# program gets a virtual display of its own whose layout is German; the Wine server and prefix are
# the suite's.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
read -r DISPLAY xvfb_pid < <("$here/../support/xvfb.py") || { echo "german_layout: Xvfb did not start" >&2; exit 1; }
export DISPLAY
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
setxkbmap de
setxkbmap -query | grep -q '^layout: *de$' || { echo "german_layout: no German layout" >&2; exit 1; }
"$here/wine_launch.sh" "$@"
