#!/usr/bin/env bash
# `make run`: installs the built program into PREFIX, carrying over a ledger that an earlier
# version of the build kept in BUILD/bin, and starts the installed program.
#
#   scripts/run.sh BUILD_FOLDER PREFIX
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${1:?usage: run.sh BUILD_FOLDER PREFIX}
prefix=${2:?usage: run.sh BUILD_FOLDER PREFIX}
case "$prefix" in /*) ;; *) prefix="$PWD/$prefix" ;; esac

# Before the install, which would otherwise place an empty ledger where the old one belongs.
bash "$here/carry-over.sh" "$build" "$prefix"
bash "$here/install.sh" "$build" "$prefix"
exec "$prefix/bin/pelorin"
