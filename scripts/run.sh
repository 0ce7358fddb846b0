#!/usr/bin/env bash
# Starts the built program. The program speaks Arabic only; on a session whose locale is
# not Arabic it is started under ar_SA.UTF-8 so that it shows the ledger.
set -euo pipefail
bin="$1"
[ -x "$bin" ] || { echo "run: $bin is not built" >&2; exit 1; }
# The program's own installer is this set-up: the support packages are in place now.
"$(dirname "$bin")/pelorin-settings" Install 1 2>/dev/null || true
current="${LC_ALL:-${LC_MESSAGES:-${LANG:-}}}"
case "$current" in
  ar_*|ar) exec "$bin" ;;
  *) echo "run: this session's language is '${current:-C}'; starting Pelorin under ar_SA.UTF-8"
     exec env -u LC_ALL -u LC_MESSAGES LANG=ar_SA.UTF-8 "$bin" ;;
esac
