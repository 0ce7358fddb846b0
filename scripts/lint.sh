#!/usr/bin/env bash
# `make lint`: shellcheck over every shell script in the tree — the *.sh files and any tracked
# file whose first line starts sh or bash (.ci/run). Sourced files are followed (.shellcheckrc).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v shellcheck >/dev/null || { echo "lint: shellcheck is missing (run: make deps-test)" >&2; exit 1; }
scripts=()
while IFS= read -r -d '' f; do
  case "$f" in
    *.sh) scripts+=("$f") ;;
    *) [ -f "$f" ] && head -n1 "$f" | grep -qE '^#!(/usr/bin/env +|/bin/|/usr/bin/)(ba|da)?sh( |$)' &&
         scripts+=("$f") ;;
  esac
done < <(git ls-files -z)
shellcheck "${scripts[@]}"
echo "lint: ${#scripts[@]} shell scripts are clean"
