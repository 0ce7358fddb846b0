#!/usr/bin/env bash
# Lends a book again from the list of the built program on a virtual screen, takes the borrower
# from the names offered after three typed letters, adds the loan with Enter, and records its
# return with Ctrl+D; the sqlcipher shell reads the ledger after each step, and the names offered
# are read over the accessibility bus. Only the Arabic keyboard layout is on, so the shortcuts go
# through the Arabic letters of their keys.
#
#   desk_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server here)
# With PELORIN_SHOTS set to a folder, pictures of the names offered and of the list's menu are
# saved there.
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: desk_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"
command -v dbus-run-session >/dev/null || { echo "e2e: dbus-run-session is missing" >&2; exit 1; }
/usr/bin/python3 -c 'import pyatspi' || { echo "e2e: python3-pyatspi is missing" >&2; exit 1; }

e2e_session pelorin-desk
e2e_fresh_copy "$bin_dir" "${2:?usage: desk_e2e.sh BIN_FOLDER MAKE_DATABOOK}"
# In the list: الأيام (1), البخلاء (2), كليلة ودمنة (3). عبد الرحمن borrowed twice, عبد الله once.
e2e_sql "$work/bin/DataBook.mdb" "
INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
 ('الأيام','طه حسين','عبد الرحمن','2024/01/15','2024/01/20',''),
 ('البخلاء','الجاحظ','عبد الله','2024/02/01','2024/02/10',''),
 ('كليلة ودمنة','ابن المقفع','عبد الرحمن','2023/05/20','2023/06/01','');" >/dev/null

drive() {
  set -euo pipefail
  sql() { e2e_sql "$DB" "$@"; }
  loans() { sql "SELECT ID||'|'||NameBook||'|'||NameWriter||'|'||NameBorrower||'|'||DateLoan||'|'||DateReturn||'|'||TimeLoan FROM TableBook ORDER BY ID;"; }
  # Rows of the list (at 120,2420), by their centres in twips; a row is 300 twips high. The
  # borrower is the fourth column from the right edge (10725): 300, 1800, 1600 and 1600 wide.
  local first="5000 2420+480" second="10725-300-1800-1600-800 2420+780" main before want
  menu_open() { [ "$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)" -gt 1 ]; }
  menu_shot() { # picture: the second row's menu, pictured and closed
    # shellcheck disable=SC2086 # the row's point is two sums
    e2e_click "$main" $second 3
    e2e_until menu_open || e2e_die "the list's menu did not open"
    e2e_shot "$1"
    xdotool key Escape
  }
  e2e_arabic_keyboard
  e2e_launch "$1"
  main=$(e2e_wait_window Pelorin)
  before=$(loans)

  # Lend the first row's book again: the borrower box takes the keyboard.
  # shellcheck disable=SC2086 # the row's point is two sums
  e2e_click "$main" $first
  e2e_press "$main" ctrl+Arabic_meem
  e2e_type_arabic "عبد"
  e2e_shot desk-names-offered
  # The most used name is offered first, as a screen reader reads the list; Down chooses it,
  # Enter takes it, Enter again adds.
  /usr/bin/python3 "$A11Y" "أسماء مستعيرين مقترحة" -1 "عبد الرحمن" "عبد الله" ||
    e2e_die "the names offered do not read over the accessibility bus"
  xdotool key Down
  /usr/bin/python3 "$A11Y" "أسماء مستعيرين مقترحة" 0 "عبد الرحمن" "عبد الله" ||
    e2e_die "the chosen name does not read as chosen"
  xdotool key Return Return
  e2e_answer "تنبيه"
  want="$before
4|الأيام|طه حسين|عبد الرحمن|$TODAY|لم يرد بعد|اليوم تم إعارة الكتاب"
  e2e_expect "$want" "after Add the ledger holds" loans
  [ -n "$(ls "$BACKUPS")" ] || e2e_die "no backup before the day's first change"

  # The new loan stands second (same title and borrower as the first, recorded later). Its
  # menu marks it; then Ctrl+D.
  menu_shot desk-row-menu
  e2e_press "$main" ctrl+Arabic_yeh
  e2e_answer "تنبيه"
  want="$before
4|الأيام|طه حسين|عبد الرحمن|$TODAY|$TODAY|تم إعارة الكتاب ليوم واحد"
  e2e_expect "$want" "after Ctrl+D the ledger holds" loans
  [ -z "${E2E_SHOTS:-}" ] || menu_shot desk-row-menu-returned
  e2e_alive
  echo "e2e: a borrower taken from the names offered, the loan added and returned with Ctrl+D"
}
LANG=ar_SA.UTF-8 DB=$work/bin/DataBook.mdb BACKUPS=$work/bin/Backups TODAY=$(date +%Y/%m/%d)
A11Y=$(dirname "$0")/names_a11y.py QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export LANG DB BACKUPS TODAY A11Y QT_LINUX_ACCESSIBILITY_ALWAYS_ON
# Inside a private D-Bus session with the accessibility bus, which the names are read through.
e2e_on_screen --bus drive "$work/bin/Pelorin" 2> >(grep -v -e '^dbus-daemon' -e 'fd limit' -e 'SpiRegistry' >&2)
