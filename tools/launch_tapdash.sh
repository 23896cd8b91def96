#!/bin/sh
# Starts the game from its program folder, which holds its sounds, best.dat and config.dat.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/tapdash/tapdash" "$@"
