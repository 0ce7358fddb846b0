#!/usr/bin/env bash
# The built program on a virtual screen: adding a loan takes a verified backup of the ledger as it
# was; a Delete is undone through the list's menu and the restore window; a ledger removed by hand
# is restored from the start-up offer. The files are read with the sqlcipher shell.
#   backup_e2e.sh BIN_FOLDER MAKE_DATABOOK   (77: skipped; PELORIN_SHOTS=folder saves pictures)
set -euo pipefail

source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: backup_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-backup
mkdir -p "$work/bin"
cp "$bin_dir/Pelorin" "$work/bin/"
"${2:?}" "$work/bin/DataBook.mdb" >/dev/null
e2e_sql "$work/bin/DataBook.mdb" "INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn)
  VALUES ('الأيام','طه حسين','سالم','2024/01/15','لم يرد بعد'), ('البخلاء','الجاحظ','ليلى','2024/02/01','2024/02/20');"
e2e_set_ini '[Setting]' 'Install=1'
export LANG=ar_SA.UTF-8 DB=$work/bin/DataBook.mdb BACKUPS=$work/bin/Backups SHOTS=${PELORIN_SHOTS:-}

e2e_screen bash -s "$work/bin/Pelorin" <<'DRIVE'
set -euo pipefail
source "$E2E_LIB"
die() { echo "e2e: $*" >&2; cat "$HOME/program.log" >&2 || true; exit 1; }
# The program may be writing the durations of a reloaded ledger: the shell waits for it.
rows() { e2e_sql "$1" ".timeout 5000" "SELECT group_concat(NameBook, '،') FROM (SELECT NameBook FROM TableBook ORDER BY NameBook);"; }
backups() { ls "$BACKUPS" 2>/dev/null | grep -E '^DataBook-[0-9]{8}-[0-9]{6}(-[0-9]+)?\.mdb$' | sort -r || true; }
shot() { [ -z "$SHOTS" ] || import -window root "$SHOTS/$1.png"; }
wait_window() { local id; id=$(e2e_window "^$1\$"); [ -n "$id" ] || die "no window titled '$1'"; echo "$id"; }
gone() {
  for _ in $(seq 1 150); do xdotool getwindowname "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done
  die "window $1 did not close"
}
# A point given in twips of the window (15 a pixel), as the layout places controls.
at() { echo "$(( ($1) / 15 )) $(( ($2) / 15 ))"; }
answer() { # title [picture]: the box shows; Enter presses its default button
  local box; box=$(wait_window "$1")
  xdotool windowactivate --sync "$box" 2>/dev/null || true
  [ -z "${2:-}" ] || { sleep 0.8; shot "$2"; }
  xdotool key Return
  gone "$box"
}
type_into() { xdotool mousemove --window "$1" $(at $2 $3) click 1; sleep 0.3; xdotool key End shift+Home; e2e_type_arabic "$4"; }
restore_in_window() { # picture: the newest sound backup is marked; Enter restores it
  local win; win=$(wait_window "استعادة نسخة احتياطية")
  xdotool windowactivate --sync "$win" 2>/dev/null || true
  sleep 0.8; shot "$1"; xdotool key Return
  answer "تأكيد"; answer "تنبيه"; gone "$win"
}

e2e_arabic_keyboard || die "no Arabic keyboard layout"
e2e_launch "$1"
main=$(wait_window Pelorin)
xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 0.5

# Add a loan (the entry frame is at 2280,380 in the window): the day's first change backs up.
type_into "$main" 2280+5805+800 380+420 "المقدمة"
type_into "$main" 2280+3045+800 380+420 "ابن خلدون"
type_into "$main" 2280+120+800 380+420 "هند"
xdotool mousemove --window "$main" $(at 2280+4245+240 380+1000) click 1; answer "اختيار تاريخ الإعارة"
xdotool mousemove --window "$main" $(at 2280+1035+240 380+1000) click 1; answer "اختيار تاريخ الرد"
xdotool mousemove --window "$main" $(at 2280+1995+450 380+1627) click 1; answer "تنبيه"
[ "$(rows "$DB")" = "الأيام،البخلاء،المقدمة" ] || die "after Add the ledger holds [$(rows "$DB")]"
[ "$(backups | wc -l)" = 1 ] || die "expected one backup after Add, found: $(backups)"
first=$BACKUPS/$(backups)
# (e2e_sql drops lines that read "ok", so the verdict is compared instead.)
[ "$(e2e_sql "$first" "SELECT group_concat(integrity_check) = 'ok' FROM pragma_integrity_check;")" = 1 ] ||
  die "the backup fails its check"
[ "$(rows "$first")" = "الأيام،البخلاء" ] || die "the backup holds [$(rows "$first")]"

# Delete the first loan of the list (no second backup that day), then restore from the menu.
xdotool mousemove --window "$main" $(at 5000 2900) click 1; sleep 0.3
xdotool mousemove --window "$main" $(at 2280+120+450 380+1627) click 1; answer "تأكيد"; answer "تنبيه"
[ "$(rows "$DB")" = "البخلاء،المقدمة" ] || die "after Delete the ledger holds [$(rows "$DB")]"
sleep 1 # the saved ledger gets a second of its own
xdotool mousemove --window "$main" $(at 5000 2900) click 3; sleep 0.5
shot menu-open
xdotool key Up Return # its last entry: restore
restore_in_window restore-window-real
[ "$(rows "$DB")" = "الأيام،البخلاء" ] || die "after the restore the ledger holds [$(rows "$DB")]"
[ "$(backups | wc -l)" = 2 ] || die "the ledger was not saved before the restore: $(backups)"
[ "$(rows "$BACKUPS/$(backups | head -n1)")" = "البخلاء،المقدمة" ] || die "the saved ledger is not the replaced one"
shot ledger-after-restore
kill $pid; wait $pid 2>/dev/null || true

# The ledger removed by hand: the start-up message offers the restore window.
rm -f "$DB"
e2e_launch "$1"
answer "خطأ" startup-offer
restore_in_window restore-window-at-startup
wait_window Pelorin >/dev/null
[ "$(rows "$DB")" = "البخلاء،المقدمة" ] || die "after the start-up restore the ledger holds [$(rows "$DB")]"
echo "e2e: a verified backup before the first change, restored through the window and at start-up"
DRIVE
