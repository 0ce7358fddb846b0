#!/usr/bin/env bash
# Runs every benchmark; each prints its figures with a "ratio" to the floor measured in the same run.
set -euo pipefail
build="${1:-build}"
for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
