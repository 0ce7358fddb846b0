#!/usr/bin/env bash
# Finds loans with the find bar of the built program on a virtual screen, typing names spelled
# otherwise than the stored ones (another hamza, short vowels), and exports the list each time
# through the save dialog; the exported files, read with Python's csv module, show which rows
# the list held.
#
#   find_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server here)
# With PELORIN_SHOTS set to a folder, pictures of the screen are saved there.
set -euo pipefail

source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: find_e2e.sh BIN_FOLDER MAKE_DATABOOK}
make_databook=${2:?usage: find_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"
command -v python3 >/dev/null || { echo "e2e: python3 is missing" >&2; exit 1; }

e2e_session pelorin-find
mkdir -p "$work/bin"
cp "$bin_dir/Pelorin" "$work/bin/"
"$make_databook" "$work/bin/DataBook.mdb" >/dev/null
e2e_set_ini '[Setting]' 'Install=1'
e2e_sql "$work/bin/DataBook.mdb" "
INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
 ('الأيام','طه حسين','أحمد','2024/01/15','لم يرد بعد',''),
 ('كليلة ودمنة','ابن المقفع','أَحْمَد','2023/05/20','2023/06/01',''),
 ('البخلاء','الجاحظ','سالم','2024/02/01','لم يرد بعد',''),
 ('المقدمة','ابن خلدون','ليلى','2021/12/30','لم يرد بعد','');" >/dev/null
before=$(e2e_sql "$work/bin/DataBook.mdb" "SELECT group_concat(ID||NameBook||NameBorrower) FROM TableBook;")

export LANG=ar_SA.UTF-8
export DB=$work/bin/DataBook.mdb SHOTS=${PELORIN_SHOTS:-}
# The file the save dialog offers: in the home folder (there is no documents folder), dated today.
export CSV="$HOME/$(date +%Y-%m-%d) الإعارات.csv"

e2e_screen bash -s "$work/bin/Pelorin" <<'DRIVE'
set -euo pipefail
source "$E2E_LIB"
die() { echo "e2e: $*" >&2; cat "$HOME/program.log" >&2 || true; exit 1; }
wait_window() { # title -> id of the visible window with exactly that title
  local id
  id=$(e2e_window "^$1\$")
  [ -n "$id" ] || die "no window titled '$1'"
  echo "$id"
}
gone() { # window id: wait until it has closed
  for _ in $(seq 1 100); do xdotool getwindowname "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done
  die "window $1 did not close"
}
shot() { [ -z "$SHOTS" ] || import -window root "$SHOTS/$1.png"; }
# Gives the window the keyboard focus. There is no window manager on the virtual screen to make
# a window active, and Qt runs a window's shortcuts only in its active window.
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.2; }
# The borrowers of the exported rows, one line each, in the list's order.
borrowers() {
  python3 -c 'import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline="")))
assert rows[0][2] == "اسم المستعير", rows[0]
print("\n".join(r[2] for r in rows[1:]))' "$CSV"
}
# Exports the list through the save dialog, accepting the name it offers.
export_list() {
  rm -f "$CSV"
  focus "$main"
  xdotool key ctrl+Arabic_theh # the key marked E
  local dialog box
  dialog=$(wait_window "حفظ القائمة في ملف CSV")
  sleep 0.5
  shot "${1:-}save_dialog"
  focus "$dialog"
  xdotool key Return
  gone "$dialog"
  box=$(wait_window "تنبيه")
  focus "$box"
  xdotool key Return
  gone "$box"
  [ -f "$CSV" ] || die "no file was exported"
}
expect() { # description, expected borrowers (one a line)
  local got
  got=$(borrowers) || die "the export could not be read"
  [ "$got" = "$2" ] || die "$1: the list showed [$got], expected [$2]"
}
# Ctrl+F opens the bar (or, open, selects what it holds); the typed words replace it. On the Arabic
# layout the key marked F gives ب.
find_words() {
  focus "$main"
  xdotool key ctrl+Arabic_beh
  sleep 0.3
  xdotool key BackSpace
  e2e_type_arabic "$1" || die "cannot type '$1'"
  sleep 0.5
}

e2e_arabic_keyboard || die "no Arabic keyboard layout"
e2e_launch "$1"
main=$(wait_window Pelorin)
sleep 0.5

find_words "احمد"
shot find_bar_typed
export_list
expect "plain alef" "$(printf 'أحمد\nأَحْمَد')"

find_words "سالِم"
export_list second_
expect "a kasra typed" "سالم"

# Escape closes the bar: every loan again, in the list's order.
focus "$main"
xdotool key Escape
sleep 0.3
export_list third_
expect "after Escape" "$(printf 'أحمد\nسالم\nليلى\nأَحْمَد')"
kill -0 $pid 2>/dev/null || die "the program ended early"
DRIVE

after=$(e2e_sql "$DB" "SELECT group_concat(ID||NameBook||NameBorrower) FROM TableBook;")
[ "$after" = "$before" ] || { echo "e2e: finding and exporting changed the ledger" >&2; exit 1; }
echo "e2e: the find bar found the loans under other spellings and the exports held them"
