#!/usr/bin/env bash
# How clearly the sound pack speaks its characters and short phrases (see voice_bench.py).
#   bench/voice/run.sh               the pack as the generator makes it
#   bench/voice/run.sh --candidates  every character in every voice and spelling, side by side
# Builds the generator (optimised, no sanitizers) in build-bench/ (script/build-tree), writes the
# pack into a scratch folder and asks the recogniser about each spoken file, alone and over every
# stretch of the music (some minutes on a busy machine).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
mode="${1:-}"
if [ -n "$mode" ] && [ "$mode" != "--candidates" ]; then
  echo "usage: $0 [--candidates]" >&2
  exit 2
fi

"$root/bench/voice/setup.sh"
build="$root/build-bench"
"$root/script/build-tree" bench tapdash-make-pack voice_candidates >/dev/null

work="$(mktemp -d "${TMPDIR:-/tmp}/voice-pack.XXXXXX")"
trap 'rm -rf "$work"' EXIT
if [ "$mode" = "--candidates" ]; then
  "$build/bench/voice_candidates" "$work"
  python3 "$root/bench/voice/voice_bench.py" "$work"/*
else
  "$build/tools/tapdash-make-pack" "$work/pack"
  python3 "$root/bench/voice/voice_bench.py" "$work/pack"
fi
