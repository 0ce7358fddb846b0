#!/usr/bin/env bash
# Adds a loan in the built program on a virtual screen and finds a verified backup of the ledger
# as it was; deletes a loan and restores that backup through the list's right-click menu and the
# restore window; then removes the ledger and restores it from the offer the start-up makes.
# Every check reads the files with the sqlcipher shell.
#
#   backup_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server here)
# With PELORIN_SHOTS set to a folder, pictures of the menu, the restore window and the start-up
# offer are saved there.
set -euo pipefail

source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: backup_e2e.sh BIN_FOLDER MAKE_DATABOOK}
make_databook=${2:?usage: backup_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-backup
mkdir -p "$work/bin"
cp "$bin_dir/Pelorin" "$work/bin/"
"$make_databook" "$work/bin/DataBook.mdb" >/dev/null
e2e_sql "$work/bin/DataBook.mdb" "
  UPDATE TableSetting SET NameLibrary = 'مكتبة البيت';
  INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
    ('الأيام','طه حسين','سالم','2024/01/15','لم يرد بعد',''),
    ('البخلاء','الجاحظ','ليلى','2024/02/01','2024/02/20','');" >/dev/null
e2e_set_ini '[Setting]' 'Install=1'

export LANG=ar_SA.UTF-8
export DB=$work/bin/DataBook.mdb BACKUPS=$work/bin/Backups SHOTS=${PELORIN_SHOTS:-}

e2e_screen bash -s "$work/bin/Pelorin" <<'DRIVE'
set -euo pipefail
source "$E2E_LIB"
sql() { e2e_sql "$@"; }
die() { echo "e2e: $*" >&2; cat "$HOME/program.log" >&2 || true; exit 1; }
rows() { sql "$1" "SELECT group_concat(NameBook, '،') FROM (SELECT NameBook FROM TableBook ORDER BY NameBook);"; }
backups() { ls "$BACKUPS" 2>/dev/null | grep -E '^DataBook-[0-9]{8}-[0-9]{6}(-[0-9]+)?\.mdb$' | sort -r || true; }
shot() { [ -z "$SHOTS" ] || import -window root "$SHOTS/$1.png"; }

e2e_arabic_keyboard || die "no Arabic keyboard layout"
e2e_launch "$1"

wait_window() {
  local id
  id=$(e2e_window "^$1\$")
  [ -n "$id" ] || die "no window titled '$1'"
  echo "$id"
}
gone() {
  for _ in $(seq 1 150); do xdotool getwindowname "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done
  die "window $1 did not close"
}
click() { # window x-twips y-twips
  xdotool mousemove --window "$1" $(( $2 / 15 )) $(( $3 / 15 )) click "${4:-1}"
  sleep 0.3
}
answer() { # title: the box shows, Enter presses its default button
  local box
  box=$(wait_window "$1")
  xdotool windowactivate --sync "$box" 2>/dev/null || true
  [ -z "${2:-}" ] || { sleep 0.5; shot "$2"; }
  xdotool key Return
  gone "$box"
}
at() { set -- $1 $2; echo $(( $1 )) $(( $2 )); }
BOOK="2280+5805+800 380+240+180"
WRITER="2280+3045+800 380+240+180"
BORROWER="2280+120+800 380+240+180"
DATE_LOAN="2280+4245+240 380+760+240"
DATE_RETURN="2280+1035+240 380+760+240"
ADD="2280+1995+450 380+1440+187"
DELETE="2280+120+450 380+1440+187"
FIRST_ROW="5000 2420+480"
type_into() {
  click "$1" $(at $2)
  xdotool key End shift+Home
  e2e_type_arabic "$3" || die "cannot type '$3'"
  sleep 0.2
}
# Restore through the list's right-click menu: its second entry, reached with the arrow keys.
restore_from_menu() {
  click "$1" $(at $FIRST_ROW) 3
  sleep 0.5
  shot menu-open
  xdotool key Down Down Return
}
restore_in_window() { # picture name: the newest sound backup is marked; Enter restores it
  local win
  win=$(wait_window "استعادة نسخة احتياطية")
  xdotool windowactivate --sync "$win" 2>/dev/null || true
  sleep 0.8
  shot "$1"
  xdotool key Return
  answer "تأكيد"
  answer "تنبيه"
  gone "$win"
}

main=$(wait_window Pelorin)
xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 0.5
[ -z "$(backups)" ] || die "the load wrote a backup"

# Add a loan: the day's first change takes a backup of the ledger as it was.
type_into "$main" "$BOOK" "المقدمة"
type_into "$main" "$WRITER" "ابن خلدون"
type_into "$main" "$BORROWER" "هند"
click "$main" $(at $DATE_LOAN); answer "اختيار تاريخ الإعارة"
click "$main" $(at $DATE_RETURN); answer "اختيار تاريخ الرد"
click "$main" $(at $ADD)
answer "تنبيه"
[ "$(rows "$DB")" = "الأيام،البخلاء،المقدمة" ] || die "after Add the ledger holds [$(rows "$DB")]"
[ "$(backups | wc -l)" = 1 ] || die "expected one backup after Add, found: $(backups)"
first=$BACKUPS/$(backups | head -n1)
# (e2e_sql drops the lines that read "ok", so the verdict is renamed.)
[ "$(sql "$first" "SELECT group_concat(integrity_check) = 'ok' FROM pragma_integrity_check;")" = 1 ] ||
  die "the backup fails its check"
[ "$(rows "$first")" = "الأيام،البخلاء" ] || die "the backup holds [$(rows "$first")]"
sqlcipher -batch "$first" "SELECT count(*) FROM TableBook;" >/dev/null 2>&1 && die "the backup opens without the key"
[ "$(stat -c %a "$BACKUPS")" = 700 ] && [ "$(stat -c %a "$first")" = 600 ] || die "backups are readable by others"

# Delete the first loan of the list (no second backup the same day), then restore.
click "$main" $(at $FIRST_ROW)
click "$main" $(at $DELETE)
answer "تأكيد"
answer "تنبيه"
[ "$(rows "$DB")" = "البخلاء،المقدمة" ] || die "after Delete the ledger holds [$(rows "$DB")]"
[ "$(backups | wc -l)" = 1 ] || die "a second change of the day wrote another backup"
sleep 1 # the backup of the current ledger gets a name of its own second
restore_from_menu "$main"
restore_in_window restore-window-real
sleep 0.5
[ "$(rows "$DB")" = "الأيام،البخلاء" ] || die "after the restore the ledger holds [$(rows "$DB")]"
[ "$(sql "$DB" "SELECT NameLibrary FROM TableSetting;")" = "مكتبة البيت" ] || die "the library name changed"
[ "$(backups | wc -l)" = 2 ] || die "the ledger was not saved before the restore: $(backups)"
[ "$(rows "$BACKUPS/$(backups | head -n1)")" = "البخلاء،المقدمة" ] || die "the saved ledger is not the one replaced"
shot ledger-after-restore
kill $pid; wait $pid 2>/dev/null || true

# A ledger gone at start-up: the message offers the restore window.
rm -f "$DB"
e2e_launch "$1"
answer "خطأ" startup-offer
restore_in_window restore-window-at-startup
main=$(wait_window Pelorin)
[ "$(rows "$DB")" = "البخلاء،المقدمة" ] || die "after the start-up restore the ledger holds [$(rows "$DB")]"
kill -0 $pid 2>/dev/null || die "the program ended"
echo "e2e: a verified backup was taken before the first change and restored twice through the window"
DRIVE
