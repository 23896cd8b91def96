#!/bin/sh
# Starts the game from its program folder, which holds its sounds (and best.dat and config.dat
# where the player may write it).
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/tapdash/tapdash" "$@"
