#!/usr/bin/env bash
# `make clean`: removes the build folder, which holds no owner data. A ledger that an earlier
# version of the build kept in BUILD/bin is the owner's: then nothing is removed.
set -euo pipefail
build=${1:-build}
old="$build/bin/DataBook.mdb"
if [ -e "$old" ] || [ -L "$old" ]; then
  echo "clean: $old is a ledger from an earlier version of Pelorin's build; nothing was removed." >&2
  echo "clean: 'make run' carries it over to the installed program; then 'make clean' can go ahead." >&2
  exit 1
fi
rm -rf -- "$build"
