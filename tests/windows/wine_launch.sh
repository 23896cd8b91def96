#!/usr/bin/env bash
# Starts one Windows test program under Wine for CTest:  wine_launch.sh program.exe [arguments]
# Once in a long while Wine ends at once with a failure status before the program's own code has
# run: no output at all, within a few milliseconds, where a real start takes a tenth of a second.
# Such a start is made again, up to twice. A program that ran is never started again, whatever it
# reported: the test programs write their first line before any test runs.
set -uo pipefail
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
  started=$SECONDS
  # Ended here, before CTest's own limit, so that a program that hangs still shows what it wrote.
  timeout -k 10 270 wine "$@" >"$out" 2>"$err"
  status=$?
  silent=0
  [ "$status" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ] && silent=1
  if [ "$silent" -eq 0 ] || [ $((SECONDS - started)) -ge 10 ] || [ "$attempt" -eq 3 ]; then break; fi
  echo "wine_launch: Wine ended with status $status before $1 wrote anything; starting it again" >&2
done
cat "$out"
cat "$err" >&2
[ "$silent" -eq 1 ] && echo "wine_launch: Wine ended with status $status before $1 wrote anything" >&2
exit "$status"
