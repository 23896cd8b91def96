#!/bin/sh
# Asks for the player's details and writes them into the game's program folder.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/tapdash/tapdash-player" "$@"
