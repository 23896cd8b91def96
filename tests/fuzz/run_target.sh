#!/usr/bin/env bash
# Runs one fuzz target on its seeds for TAPDASH_FUZZ_SECONDS (default 15). New inputs go to
# WORK/corpus, a finding to WORK/crash-*, and then the run fails.
#   run_target.sh <fuzz program> <seed folder> <work folder> <longest input in bytes>
set -euo pipefail
program="$1" seeds="$2" work="$3" longest="$4"
mkdir -p "$work/corpus" "$work/scratch"
TAPDASH_FUZZ_DIR="$work/scratch" exec "$program" -max_total_time="${TAPDASH_FUZZ_SECONDS:-15}" \
  -max_len="$longest" -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$seeds"
