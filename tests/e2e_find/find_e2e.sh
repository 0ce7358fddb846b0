#!/usr/bin/env bash
# Finds loans with the find bar of the built program on a virtual screen, typing names spelled
# otherwise than the stored ones (another hamza, a short vowel), and exports the list through the
# save dialog each time; the exported file, read with Python's csv module, shows the list's rows.
#
#   find_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server here)
# With PELORIN_SHOTS set to a folder, pictures of the screen are saved there.
set -euo pipefail

source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: find_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-find
mkdir -p "$work/bin"
cp "$bin_dir/Pelorin" "$work/bin/"
"${2:?usage: find_e2e.sh BIN_FOLDER MAKE_DATABOOK}" "$work/bin/DataBook.mdb" >/dev/null
e2e_set_ini '[Setting]' 'Install=1'
e2e_sql "$work/bin/DataBook.mdb" "
INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
 ('الأيام','طه حسين','أحمد','2024/01/15','لم يرد بعد',''), ('كليلة ودمنة','ابن المقفع','أَحْمَد','2023/05/20','2023/06/01',''),
 ('البخلاء','الجاحظ','سالم','2024/02/01','لم يرد بعد',''), ('المقدمة','ابن خلدون','ليلى','2021/12/30','لم يرد بعد','');" >/dev/null

# The dialog offers the home folder (there is no documents folder) and a name with today's date.
export LANG=ar_SA.UTF-8 SHOTS=${PELORIN_SHOTS:-} CSV="$HOME/$(date +%Y-%m-%d) الإعارات.csv"
e2e_screen bash -s "$work/bin/Pelorin" <<'DRIVE'
set -euo pipefail
source "$E2E_LIB"
die() { echo "e2e: $*" >&2; cat "$HOME/program.log" >&2 || true; exit 1; }
window() { local id; id=$(e2e_window "^$1\$"); [ -n "$id" ] || die "no window titled '$1'"; echo "$id"; }
# No window manager makes a window active here, and Qt runs shortcuts only in the active window.
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || true; sleep 0.3; }
press() { focus "$1"; xdotool key "$2"; }
# Ctrl+F (on the Arabic layout the key marked F gives ب) selects what the bar holds; the typed
# words replace it.
find_words() {
  press "$main" ctrl+Arabic_beh
  xdotool key BackSpace
  e2e_type_arabic "$1" || die "cannot type '$1'"
  sleep 0.5
  [ -z "$SHOTS" ] || import -window root "$SHOTS/find_$1.png"
}
# Ctrl+E (ث) exports; Return in the dialog takes the offered name.
expect_export() { # the borrowers the list should show, one a line
  rm -f "$CSV"
  press "$main" ctrl+Arabic_theh
  press "$(window "حفظ القائمة في ملف CSV")" Return
  press "$(window "تنبيه")" Return
  local got
  got=$(python3 -c 'import csv, sys
print("\n".join(r[2] for r in list(csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline="")))[1:]))' "$CSV") ||
    die "no readable export"
  [ "$got" = "$1" ] || die "the list showed [$got], expected [$1]"
}

e2e_arabic_keyboard || die "no Arabic keyboard layout"
e2e_launch "$1"
main=$(window Pelorin)
find_words "احمد"
expect_export "$(printf 'أحمد\nأَحْمَد')"
find_words "سالِم"
expect_export "سالم"
press "$main" Escape # closes the bar: every loan again
expect_export "$(printf 'أحمد\nسالم\nليلى\nأَحْمَد')"
kill -0 $pid 2>/dev/null || die "the program ended early"
DRIVE
echo "e2e: the find bar found the loans under other spellings and the exports held them"
