#!/usr/bin/env bash
# Installs the built program into PREFIX; `make install` and `make run` run it.
#
#   scripts/install.sh BUILD_FOLDER PREFIX
#
# PREFIX/lib/pelorin/ receives the program and, only when none is there, the empty ledger
# DataBook.mdb; PREFIX/bin/pelorin, the desktop entry, the icons and the AppStream metainfo go to
# their usual places. Installing again upgrades the program and keeps the ledger.
set -euo pipefail
build=${1:?usage: install.sh BUILD_FOLDER PREFIX}
prefix=${2:?usage: install.sh BUILD_FOLDER PREFIX}
per_user="$HOME/.local"
case "$prefix" in /*) ;; *) prefix="$PWD/$prefix" ;; esac

# Checked before anything is written, so that a prefix without rights leaves nothing half done.
writable() { # the folder, or the nearest one above it that exists, is writable
  local d=$1
  while [ ! -e "$d" ] && [ "$d" != / ]; do d=$(dirname "$d"); done
  [ -d "$d" ] && [ -w "$d" ]
}
for d in "$prefix" "$prefix/lib/pelorin" "$prefix/bin" "$prefix/share/applications" \
         "$prefix/share/icons/hicolor" "$prefix/share/metainfo"; do
  if ! writable "$d"; then
    echo "install: you ($(id -un)) cannot write to $d, so Pelorin cannot be installed in $prefix." >&2
    echo "install: install it for yourself instead: 'make install' (or 'make run') without PREFIX puts it in $per_user." >&2
    exit 1
  fi
done

[ -x "$build/bin/Pelorin" ] || { echo "install: $build/bin/Pelorin is not built (run: make)" >&2; exit 1; }
if ! out=$(cmake --install "$build" --prefix "$prefix" 2>&1); then
  printf '%s\n' "$out" >&2
  echo "install: installing into $prefix failed" >&2
  exit 1
fi
printf '%s\n' "$out" | grep -v -e '^-- Up-to-date:' -e '^-- Install configuration:' || true

echo "install: Pelorin is installed in $prefix: start it from the desktop's menu or with $prefix/bin/pelorin"
echo "install: its ledger is $prefix/lib/pelorin/DataBook.mdb"
