#!/usr/bin/env bash
# The browser suite on a machine that is busy with something else, as on a
# laptop that is also compiling: one busy loop per core beside ctest, run
# RUNS times in a row (5 unless given), stopping at the first failure.
# Needs the web preset built (scripts/test builds it).
# Usage: tests/web/under_load.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
busy=()
for _ in $(seq "$(nproc)"); do
  yes >/dev/null &
  busy+=($!)
done
trap 'kill "${busy[@]}" 2>/dev/null' EXIT
for run in $(seq "$runs"); do
  start=$(date +%s)
  ctest --preset web
  echo "== run $run of $runs passed in $(($(date +%s) - start)) s, with $(nproc) busy loops beside it"
done
