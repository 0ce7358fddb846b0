#!/usr/bin/env bash
# Runs every benchmark; each prints its figures with a "ratio" to the floor measured in the same
# run. One table of the figures against their targets comes last.
set -euo pipefail
build="${1:-build}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for b in "$build"/bench/bench_*; do
  [[ -f $b && -x $b ]] || continue
  name=$(basename "$b")
  echo "== $name"
  "$b" --benchmark_counters_tabular=true --benchmark_out="$out/$name.json" --benchmark_out_format=json
done
echo
echo "== summary"
python3 "$(dirname "$0")/bench_summary.py" "$out"/*.json
