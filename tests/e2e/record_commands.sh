#!/usr/bin/env bash
# Records, changes and removes a loan in the built program with the mouse and the keyboard on a
# virtual screen, and reads the database back with the sqlcipher shell after each step.
#
#   record_commands.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server here)
# With PELORIN_SHOTS set to a folder, a picture of the screen after each step is saved there.
set -euo pipefail

source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: record_commands.sh BIN_FOLDER MAKE_DATABOOK}
make_databook=${2:?usage: record_commands.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-commands
mkdir -p "$work/bin"
cp "$bin_dir/Pelorin" "$work/bin/"
# A fresh delivered database, whatever the build folder's copy has been through.
"$make_databook" "$work/bin/DataBook.mdb" >/dev/null
e2e_set_ini '[Setting]' 'Install=1'

export LANG=ar_SA.UTF-8
export DB=$work/bin/DataBook.mdb TODAY=$(date +%Y/%m/%d) SHOTS=${PELORIN_SHOTS:-}

e2e_screen bash -s "$work/bin/Pelorin" <<'DRIVE'
set -euo pipefail
source "$E2E_LIB"
sql() { e2e_sql "$DB" "$@"; }
die() { echo "e2e: $*" >&2; cat "$HOME/program.log" >&2 || true; exit 1; }

e2e_arabic_keyboard || die "no Arabic keyboard layout"
e2e_launch "$1"

wait_window() { # title -> window id of the visible window with exactly that title
  local id
  id=$(e2e_window "^$1\$")
  [ -n "$id" ] || die "no window titled '$1'"
  echo "$id"
}
gone() { # window id: wait until it has closed
  for _ in $(seq 1 100); do xdotool getwindowname "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done
  die "window $1 did not close"
}
# Clicks at a point given in twips of the window (15 twips a pixel), as the layout places controls.
click() { # window x-twips y-twips
  xdotool mousemove --window "$1" $(( $2 / 15 )) $(( $3 / 15 )) click 1
  sleep 0.3
}
type_into() { # window x y text: the box selects its text on focus, so typing replaces it
  click "$1" "$2" "$3"
  # Select everything again with keys every layout has (the Arabic one has no Latin "a").
  xdotool key End shift+Home
  e2e_type_arabic "$4" || die "cannot type '$4'"
  sleep 0.2
}
answer() { # message title: the box shows, Enter presses its default button
  local box
  box=$(wait_window "$1")
  xdotool windowactivate --sync "$box" 2>/dev/null || true
  xdotool key Return
  gone "$box"
}
shot() { [ -z "$SHOTS" ] || import -window root "$SHOTS/$1.png"; }

main=$(wait_window Pelorin)
xdotool windowactivate --sync "$main" 2>/dev/null || true
sleep 0.5

# Entry frame at 2280,380; the boxes and buttons inside it (centres, in twips).
BOOK="2280+5805+800 380+240+180"
WRITER="2280+3045+800 380+240+180"
BORROWER="2280+120+800 380+240+180"
DATE_LOAN="2280+4245+240 380+760+240"
DATE_RETURN="2280+1035+240 380+760+240"
ADD="2280+1995+450 380+1440+187"
EDIT="2280+1065+450 380+1440+187"
DELETE="2280+120+450 380+1440+187"
FIRST_ROW="5000 2420+480"
at() { set -- $1 $2; echo $(( $1 )) $(( $2 )); }

type_into "$main" $(at $BOOK) "الأيام"
type_into "$main" $(at $WRITER) "طه حسين"
type_into "$main" $(at $BORROWER) "سالم"

# Loan date: the picker opens at today; Enter saves.
click "$main" $(at $DATE_LOAN)
picker=$(wait_window "اختيار تاريخ الإعارة")
shot picker_loan
xdotool key Return
gone "$picker"

# Return date: choose "not returned yet" (frame 120,340; option 120,240,3135,255; its dot at the right end).
click "$main" $(at $DATE_RETURN)
picker=$(wait_window "اختيار تاريخ الرد")
click "$picker" $(( 120 + 120 + 3135 - 120 )) $(( 340 + 240 + 127 ))
shot picker_return
xdotool key Return
gone "$picker"

click "$main" $(at $ADD)
answer "تنبيه"
sleep 0.3
shot ledger_after_add

rows=$(sql "SELECT count(*) FROM TableBook;")
[ "$rows" = 1 ] || die "after Add the table holds $rows rows"
got=$(sql "SELECT NameBook||'|'||NameWriter||'|'||NameBorrower||'|'||DateLoan||'|'||DateReturn||'|'||TimeLoan FROM TableBook;")
want="الأيام|طه حسين|سالم|$TODAY|لم يرد بعد|اليوم تم إعارة الكتاب"
[ "$got" = "$want" ] || die "after Add the row is [$got], expected [$want]"
id=$(sql "SELECT ID FROM TableBook;")

# Edit: click the row, give it another borrower and a return date of today.
click "$main" $(at $FIRST_ROW)
type_into "$main" $(at $BORROWER) "ليلى"
click "$main" $(at $DATE_RETURN)
picker=$(wait_window "اختيار تاريخ الرد")
xdotool key Return
gone "$picker"
click "$main" $(at $EDIT)
answer "تنبيه"
got=$(sql "SELECT ID||'|'||NameBorrower||'|'||DateReturn||'|'||TimeLoan FROM TableBook;")
want="$id|ليلى|$TODAY|تم إعارة الكتاب ليوم واحد"
[ "$got" = "$want" ] || die "after Edit the table holds [$got], expected [$want]"

# Delete: click the row, press Delete, answer Yes, then the confirmation.
click "$main" $(at $FIRST_ROW)
click "$main" $(at $DELETE)
answer "تأكيد"
answer "تنبيه"
rows=$(sql "SELECT count(*) FROM TableBook;")
[ "$rows" = 0 ] || die "after Delete the table holds $rows rows"
[ "$(sql "SELECT NameLibrary FROM TableSetting;")" = "مكتبتي" ] || die "the settings row changed"
kill -0 $pid 2>/dev/null || die "the program ended early"
echo "e2e: a loan was added, edited and deleted through the window"
DRIVE
