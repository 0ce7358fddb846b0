#!/usr/bin/env bash
# Starts the built program on a virtual screen inside a private D-Bus session with the
# accessibility bus, and lets a11y_walk.py read and press it through AT-SPI, as a screen reader
# does. The tree it prints is the window as a blind owner meets it.
#
#   a11y_e2e.sh BIN_FOLDER WALK_SCRIPT        (exit 77: skipped, no virtual X server here)
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: a11y_e2e.sh BIN_FOLDER WALK_SCRIPT}
walk=${2:?usage: a11y_e2e.sh BIN_FOLDER WALK_SCRIPT}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"
# The accessibility bus and the client library come from the system's Python, not another one.
command -v dbus-run-session >/dev/null || { echo "e2e: dbus-run-session is missing" >&2; exit 1; }
/usr/bin/python3 -c 'import pyatspi' || { echo "e2e: python3-pyatspi is missing" >&2; exit 1; }

e2e_session pelorin-a11y
e2e_installed_copy "$bin_dir"
export db=$work/bin/DataBook.mdb
sql() { e2e_sql "$db" "$@"; }
e2e_new_ledger "$db" 'مكتبة الاختبار'
sql "INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
       ('الأيام','طه حسين','سعاد','2024/01/15','2024/01/17',''),
       ('الحرافيش','نجيب محفوظ','أحمد','2024/03/10','لم يرد بعد','');" >/dev/null

# Two backups for the restore window: a sound copy and a damaged file.
mkdir -m 700 "$work/bin/Backups"
cp "$db" "$work/bin/Backups/DataBook-20240101-120000.mdb"
head -c 8192 /dev/urandom >"$work/bin/Backups/DataBook-20240102-120000.mdb"

# On the screen, inside a private D-Bus session: the walk, once the ledger has the keyboard.
walk() {
  set -euo pipefail
  local wid
  e2e_launch "$1"
  wid=$(e2e_wait_window Pelorin)
  e2e_focus "$wid"
  /usr/bin/python3 "$WALK"
}
export LANG=ar_SA.UTF-8 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 WALK=$walk
e2e_on_screen --bus walk "$work/bin/Pelorin" 2> >(grep -v -e '^dbus-daemon' -e 'fd limit' -e 'SpiRegistry' >&2)
