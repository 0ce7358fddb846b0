#!/usr/bin/env bash
# Finds loans with the find bar of the built program on a virtual screen, typing names spelled
# otherwise than the stored ones (another hamza, a short vowel), and exports the list through the
# save dialog each time; the exported file, read with Python's csv module, shows the list's rows.
#
#   find_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server here)
# With PELORIN_SHOTS set to a folder, pictures of the screen are saved there.
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: find_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-find
e2e_fresh_copy "$bin_dir" "${2:?usage: find_e2e.sh BIN_FOLDER MAKE_DATABOOK}"
e2e_sql "$work/bin/DataBook.mdb" "
INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
 ('الأيام','طه حسين','أحمد','2024/01/15','لم يرد بعد',''), ('كليلة ودمنة','ابن المقفع','أَحْمَد','2023/05/20','2023/06/01',''),
 ('البخلاء','الجاحظ','سالم','2024/02/01','لم يرد بعد',''), ('المقدمة','ابن خلدون','ليلى','2021/12/30','لم يرد بعد','');" >/dev/null

# On the screen: find, export, and read the export back.
drive() {
  set -euo pipefail
  local main
  # Ctrl+F (on the Arabic layout the key marked F gives ب) selects what the bar holds; the typed
  # words replace it.
  find_words() {
    e2e_press "$main" ctrl+Arabic_beh
    xdotool key BackSpace
    e2e_type_arabic "$1"
    e2e_shot "find_$1"
  }
  # Ctrl+E (ث) exports; Return in the dialog takes the offered name. The keys typed before are
  # read before it, in order, so the export holds the list as they left it.
  expect_export() { # the borrowers the list should show, one a line
    local dialog got
    rm -f "$CSV"
    e2e_press "$main" ctrl+Arabic_theh
    dialog=$(e2e_wait_window "حفظ القائمة في ملف CSV")
    e2e_press "$dialog" Return
    e2e_answer "تنبيه"
    e2e_gone "$dialog"
    got=$(python3 -c 'import csv, sys
print("\n".join(r[2] for r in list(csv.reader(open(sys.argv[1], encoding="utf-8-sig", newline="")))[1:]))' "$CSV") ||
      e2e_die "no readable export"
    [ "$got" = "$1" ] || e2e_die "the list showed [$got], expected [$1]"
  }

  e2e_arabic_keyboard
  e2e_launch "$1"
  main=$(e2e_wait_window Pelorin)
  find_words "احمد"
  expect_export "$(printf 'أحمد\nأَحْمَد')"
  find_words "سالِم"
  expect_export "سالم"
  e2e_press "$main" Escape # closes the bar: every loan again
  expect_export "$(printf 'أحمد\nسالم\nليلى\nأَحْمَد')"
  e2e_alive
}
# The dialog offers the home folder (there is no documents folder) and a name with today's date.
LANG=ar_SA.UTF-8 CSV="$HOME/$(date +%Y-%m-%d) الإعارات.csv"
export LANG CSV
e2e_on_screen drive "$work/bin/Pelorin"
echo "e2e: the find bar found the loans under other spellings and the exports held them"
