#!/bin/sh
# Starts the installed Pelorin from its program folder, where it keeps its ledger.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/pelorin/Pelorin" "$@"
