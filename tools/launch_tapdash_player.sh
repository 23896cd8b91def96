#!/bin/sh
# Asks for the player's details and writes them where the game reads them.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/tapdash/tapdash-player" "$@"
