#!/usr/bin/env bash
# Starts the built program on a virtual screen, on a copy of its folder whose database holds
# loans with stale durations written through the sqlcipher shell, waits for the ledger window,
# and reads the file back with the sqlcipher shell: the load must have rewritten every duration.
#
#   ledger_e2e.sh BIN_FOLDER        (exit 77: skipped, no virtual X server here)
set -euo pipefail

bin_dir=${1:?usage: ledger_e2e.sh BIN_FOLDER}
for tool in Xvfb xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing, skipping"; exit 77; }
done
command -v sqlcipher >/dev/null || { echo "e2e: the sqlcipher shell is missing" >&2; exit 1; }
[ -x "$bin_dir/Pelorin" ] || { echo "e2e: $bin_dir/Pelorin is not built" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/config/Pelorin" "$work/run"
chmod 700 "$work/run"
cp -r "$bin_dir" "$work/bin"
rm -f "$work/bin/DataBook.mdb"
# The program's first-run installer has been through already.
printf '[Setting]\nInstall=1\n' >"$work/config/Pelorin/Pelorin.ini"

db=$work/bin/DataBook.mdb
sql() { sqlcipher -batch "$db" "PRAGMA key='vqt.lorman.kex';" "$@" | sed '/^ok$/d'; }

today=$(date +%Y/%m/%d)
tomorrow=$(date -d tomorrow +%Y/%m/%d)
sql "CREATE TABLE TableBook (ID INTEGER PRIMARY KEY AUTOINCREMENT, NameBook TEXT COLLATE NOCASE,
       NameWriter TEXT COLLATE NOCASE, NameBorrower TEXT COLLATE NOCASE, DateLoan TEXT COLLATE NOCASE,
       DateReturn TEXT COLLATE NOCASE, TimeLoan TEXT COLLATE NOCASE);
     CREATE TABLE TableSetting (NameLibrary TEXT COLLATE NOCASE);
     INSERT INTO TableSetting VALUES ('مكتبة الاختبار');
     INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
       ('كتاب ١','مؤلف','مستعير','2024/01/15','2024/01/17','stale'),
       ('كتاب ٢','مؤلف','مستعير','2020/05/20','2022/05/20','stale'),
       ('كتاب ٣','مؤلف','مستعير','2024/03/10','2024/03/09','stale'),
       ('كتاب ٤','مؤلف','مستعير','$today','لم يرد بعد','stale'),
       ('كتاب ٥','مؤلف','مستعير','$tomorrow','لم يرد بعد','stale'),
       ('كتاب ٦','مؤلف','مستعير','2023/03/15','2024/03/10','stale');" >/dev/null
[ "$(sql "SELECT count(*) FROM TableBook WHERE TimeLoan='stale';")" = 6 ] || { echo "e2e: could not write the database" >&2; exit 1; }

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export LANG=ar_SA.UTF-8 LC_ALL= LC_MESSAGES= QT_QPA_PLATFORM=xcb
export db
status=0
xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 1024x768x24" bash -c '
  set -u
  "$0" >"$HOME/program.log" 2>&1 & pid=$!
  trap "kill $pid 2>/dev/null; wait $pid 2>/dev/null" EXIT
  if ! wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^Pelorin$" | head -n1) || [ -z "$wid" ]; then
    echo "e2e: the ledger window did not appear" >&2; cat "$HOME/program.log" >&2; exit 1
  fi
  # The window is up; give the load sequence time to finish its writes.
  for _ in $(seq 1 100); do
    left=$(sqlcipher -batch "$db" "PRAGMA key='"'"'vqt.lorman.kex'"'"';" \
           "SELECT count(*) FROM TableBook WHERE TimeLoan='"'"'stale'"'"';" 2>/dev/null | tail -n1)
    [ "$left" = 0 ] && break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null || { echo "e2e: the program ended early" >&2; cat "$HOME/program.log" >&2; exit 1; }
' "$work/bin/Pelorin" || status=$?
[ "$status" = 0 ] || exit "$status"

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
