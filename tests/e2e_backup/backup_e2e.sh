#!/usr/bin/env bash
# The built program on a virtual screen: adding a loan takes a verified backup of the ledger as it
# was; a Delete is undone through the list's menu and the restore window; a ledger removed by hand
# is restored from the start-up offer. The files are read with the sqlcipher shell.
#   backup_e2e.sh BIN_FOLDER MAKE_DATABOOK   (77: skipped; PELORIN_SHOTS=folder saves pictures)
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: backup_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-backup
e2e_fresh_copy "$bin_dir" "${2:?}"
e2e_sql "$work/bin/DataBook.mdb" "INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn)
  VALUES ('الأيام','طه حسين','سالم','2024/01/15','لم يرد بعد'), ('البخلاء','الجاحظ','ليلى','2024/02/01','2024/02/20');"

# On the screen: a loan added, one deleted, the restores; the files read after each step.
drive() {
  set -euo pipefail
  local main first deleted_at entry="2280" row="5000 2900"
  rows() { e2e_sql "$1" "SELECT group_concat(NameBook, '،') FROM (SELECT NameBook FROM TableBook ORDER BY NameBook);"; }
  backups() { find "$BACKUPS" -maxdepth 1 -printf '%f\n' 2>/dev/null |
    grep -E '^DataBook-[0-9]{8}-[0-9]{6}(-[0-9]+)?\.mdb$' | sort -r || true; }
  count_backups() { backups | wc -l; }
  # A menu is a window of its own beside the ledger; it takes the keys while it shows.
  menu_open() { [ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" -gt 1 ]; }
  restore_in_window() { # picture: the newest sound backup is marked; Enter restores it
    local win
    win=$(e2e_wait_window "استعادة نسخة احتياطية")
    e2e_focus "$win"
    e2e_shot "$1"
    xdotool key Return
    e2e_answer "تأكيد"
    e2e_answer "تنبيه"
    e2e_gone "$win"
  }

  e2e_arabic_keyboard
  e2e_launch "$1"
  main=$(e2e_wait_window Pelorin)

  # Add a loan (the entry frame is at 2280,380 in the window): the day's first change backs up.
  e2e_type_into "$main" $entry+5805+800 380+420 "المقدمة"
  e2e_type_into "$main" $entry+3045+800 380+420 "ابن خلدون"
  e2e_type_into "$main" $entry+120+800 380+420 "هند"
  e2e_click "$main" $entry+4245+240 380+1000
  e2e_answer "اختيار تاريخ الإعارة"
  e2e_click "$main" $entry+1035+240 380+1000
  e2e_answer "اختيار تاريخ الرد"
  e2e_click "$main" $entry+1995+450 380+1627
  e2e_answer "تنبيه"
  e2e_expect "الأيام،البخلاء،المقدمة" "after Add the ledger holds" rows "$DB"
  e2e_expect 1 "backups after Add ($(backups))" count_backups
  first=$BACKUPS/$(backups)
  # (e2e_sql drops lines that read "ok", so the verdict is compared instead.)
  [ "$(e2e_sql "$first" "SELECT group_concat(integrity_check) = 'ok' FROM pragma_integrity_check;")" = 1 ] ||
    e2e_die "the backup fails its check"
  [ "$(rows "$first")" = "الأيام،البخلاء" ] || e2e_die "the backup holds [$(rows "$first")]"

  # Delete the first loan of the list (no second backup that day), then restore from the menu.
  # shellcheck disable=SC2086 # the row's point is two numbers
  e2e_click "$main" $row
  e2e_click "$main" $entry+120+450 380+1627
  e2e_answer "تأكيد"
  e2e_answer "تنبيه"
  e2e_expect "البخلاء،المقدمة" "after Delete the ledger holds" rows "$DB"
  # The saved ledger gets a second of its own: the clock moves on from the Delete's.
  deleted_at=$(date +%s)
  later() { [ "$(date +%s)" -gt "$deleted_at" ]; }
  e2e_until later
  # shellcheck disable=SC2086
  e2e_click "$main" $row 3
  e2e_until menu_open || e2e_die "the list's menu did not open"
  e2e_shot menu-open
  xdotool key Up Return # its last entry: restore
  restore_in_window restore-window-real
  e2e_expect "الأيام،البخلاء" "after the restore the ledger holds" rows "$DB"
  e2e_expect 2 "backups after the restore, the ledger saved first ($(backups))" count_backups
  [ "$(rows "$BACKUPS/$(backups | head -n1)")" = "البخلاء،المقدمة" ] || e2e_die "the saved ledger is not the replaced one"
  e2e_shot ledger-after-restore
  kill "$pid"
  wait "$pid" 2>/dev/null || true

  # The ledger removed by hand: the start-up message offers the restore window.
  rm -f "$DB"
  e2e_launch "$1"
  e2e_answer "خطأ" startup-offer
  restore_in_window restore-window-at-startup
  e2e_wait_window Pelorin >/dev/null
  e2e_expect "البخلاء،المقدمة" "after the start-up restore the ledger holds" rows "$DB"
  echo "e2e: a verified backup before the first change, restored through the window and at start-up"
}
LANG=ar_SA.UTF-8 DB=$work/bin/DataBook.mdb BACKUPS=$work/bin/Backups
export LANG DB BACKUPS
e2e_on_screen drive "$work/bin/Pelorin"
