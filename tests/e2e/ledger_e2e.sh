#!/usr/bin/env bash
# Starts the built program on a virtual screen, on a copy of its folder whose database holds
# loans with stale durations written through the sqlcipher shell, waits for the ledger window,
# and reads the file back with the sqlcipher shell: the load must have rewritten every duration.
#
#   ledger_e2e.sh BIN_FOLDER        (exit 77: skipped, no virtual X server here)
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: ledger_e2e.sh BIN_FOLDER}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-e2e
e2e_installed_copy "$bin_dir"

export db=$work/bin/DataBook.mdb
sql() { e2e_sql "$db" "$@"; }

today=$(date +%Y/%m/%d)
tomorrow=$(date -d tomorrow +%Y/%m/%d)
e2e_new_ledger "$db" 'مكتبة الاختبار'
sql "INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
       ('كتاب ١','مؤلف','مستعير','2024/01/15','2024/01/17','stale'),
       ('كتاب ٢','مؤلف','مستعير','2020/05/20','2022/05/20','stale'),
       ('كتاب ٣','مؤلف','مستعير','2024/03/10','2024/03/09','stale'),
       ('كتاب ٤','مؤلف','مستعير','$today','لم يرد بعد','stale'),
       ('كتاب ٥','مؤلف','مستعير','$tomorrow','لم يرد بعد','stale'),
       ('كتاب ٦','مؤلف','مستعير','2023/03/15','2024/03/10','stale');" >/dev/null
[ "$(sql "SELECT count(*) FROM TableBook WHERE TimeLoan='stale';")" = 6 ] || { echo "e2e: could not write the database" >&2; exit 1; }

# On the screen: the ledger window shows, and the load sequence finishes its writes.
load() {
  set -euo pipefail
  e2e_launch "$1"
  e2e_wait_window Pelorin >/dev/null
  rewritten() { [ "$(e2e_sql "$db" "SELECT count(*) FROM TableBook WHERE TimeLoan='stale';" 2>/dev/null)" = 0 ]; }
  e2e_until rewritten || true # the checks below say which were left
  e2e_alive
}
export LANG=ar_SA.UTF-8
e2e_on_screen load "$work/bin/Pelorin"

fail=0
expect() { # ID expected-TimeLoan
  local got
  got=$(sql "SELECT '[' || TimeLoan || ']' FROM TableBook WHERE ID=$1;")
  if [ "$got" != "[$2]" ]; then echo "e2e: record $1 has TimeLoan $got, expected [$2]" >&2; fail=1; fi
}
left=$(sql "SELECT count(*) FROM TableBook WHERE TimeLoan='stale';")
[ "$left" = 0 ] || { echo "e2e: $left durations were not rewritten" >&2; fail=1; }
expect 1 "يومان "
expect 2 " سنتان "
expect 3 "خطأ في المدخلات"
expect 4 "اليوم تم إعارة الكتاب"
expect 5 "خطأ في المدخلات"
expect 6 "11 شهراً و 26 يوماً "
[ "$(sql "SELECT NameLibrary FROM TableSetting;")" = "مكتبة الاختبار" ] || { echo "e2e: the library name changed" >&2; fail=1; }
[ "$fail" = 0 ] && echo "e2e: every duration was rewritten by the load"
exit "$fail"
