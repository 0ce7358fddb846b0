#!/usr/bin/env bash
# Records, changes and removes a loan in the built program with the mouse and the keyboard on a
# virtual screen, and reads the database back with the sqlcipher shell after each step.
#
#   record_commands.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server here)
# With PELORIN_SHOTS set to a folder, a picture of the screen after each step is saved there.
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: record_commands.sh BIN_FOLDER MAKE_DATABOOK}
make_databook=${2:?usage: record_commands.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-commands
# A fresh delivered database, whatever the build folder's copy has been through.
e2e_fresh_copy "$bin_dir" "$make_databook"

# On the screen: add, edit and delete one loan, each time reading the database back.
drive() {
  set -euo pipefail
  sql() { e2e_sql "$DB" "$@"; }
  # Entry frame at 2280,380; the boxes and buttons inside it (centres, in twips).
  local book="2280+5805+800" writer="2280+3045+800" borrower="2280+120+800" boxes="380+240+180"
  local date_loan="2280+4245+240" date_return="2280+1035+240" dates="380+760+240"
  local add="2280+1995+450" edit="2280+1065+450" delete="2280+120+450" buttons="380+1440+187"
  local row="5000 2420+480" main picker id got want
  # A date box's picture opens its picker, and Return saves its date.
  pick() { # x-twips picker-title [picture]
    e2e_click "$main" "$1" "$dates"
    picker=$(e2e_wait_window "$2")
    e2e_focus "$picker"
    [ -z "${3:-}" ] || e2e_shot "$3"
    xdotool key Return
    e2e_gone "$picker"
  }

  e2e_arabic_keyboard
  e2e_launch "$1"
  main=$(e2e_wait_window Pelorin)

  e2e_type_into "$main" "$book" "$boxes" "الأيام"
  e2e_type_into "$main" "$writer" "$boxes" "طه حسين"
  e2e_type_into "$main" "$borrower" "$boxes" "سالم"
  # Loan date: the picker opens at today.
  pick "$date_loan" "اختيار تاريخ الإعارة" picker_loan
  # Return date: choose "not returned yet" (frame 120,340; option 120,240,3135,255; its dot at the right end).
  e2e_click "$main" "$date_return" "$dates"
  picker=$(e2e_wait_window "اختيار تاريخ الرد")
  e2e_focus "$picker"
  e2e_click "$picker" $((120 + 120 + 3135 - 120)) $((340 + 240 + 127))
  e2e_shot picker_return
  xdotool key Return
  e2e_gone "$picker"

  e2e_click "$main" "$add" "$buttons"
  e2e_answer "تنبيه"
  e2e_shot ledger_after_add
  e2e_expect 1 "after Add the table's rows" sql "SELECT count(*) FROM TableBook;"
  got=$(sql "SELECT NameBook||'|'||NameWriter||'|'||NameBorrower||'|'||DateLoan||'|'||DateReturn||'|'||TimeLoan FROM TableBook;")
  want="الأيام|طه حسين|سالم|$TODAY|لم يرد بعد|اليوم تم إعارة الكتاب"
  [ "$got" = "$want" ] || e2e_die "after Add the row is [$got], expected [$want]"
  id=$(sql "SELECT ID FROM TableBook;")

  # Edit: click the row, give it another borrower and a return date of today.
  # shellcheck disable=SC2086 # the row's point is two sums
  e2e_click "$main" $row
  e2e_type_into "$main" "$borrower" "$boxes" "ليلى"
  pick "$date_return" "اختيار تاريخ الرد"
  e2e_click "$main" "$edit" "$buttons"
  e2e_answer "تنبيه"
  e2e_expect "$id|ليلى|$TODAY|تم إعارة الكتاب ليوم واحد" "after Edit the table holds" \
    sql "SELECT ID||'|'||NameBorrower||'|'||DateReturn||'|'||TimeLoan FROM TableBook;"

  # Delete: click the row, press Delete, answer Yes, then the confirmation.
  # shellcheck disable=SC2086
  e2e_click "$main" $row
  e2e_click "$main" "$delete" "$buttons"
  e2e_answer "تأكيد"
  e2e_answer "تنبيه"
  e2e_expect 0 "after Delete the table's rows" sql "SELECT count(*) FROM TableBook;"
  [ "$(sql "SELECT NameLibrary FROM TableSetting;")" = "مكتبتي" ] || e2e_die "the settings row changed"
  e2e_alive
  echo "e2e: a loan was added, edited and deleted through the window"
}
LANG=ar_SA.UTF-8 DB=$work/bin/DataBook.mdb TODAY=$(date +%Y/%m/%d)
export LANG DB TODAY
e2e_on_screen drive "$work/bin/Pelorin"
