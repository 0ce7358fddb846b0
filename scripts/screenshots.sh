#!/usr/bin/env bash
# Pictures of every window of the program, for a person to look at. Prints the folder that holds
# the PNG files; `make screenshots` runs it.
#
#   - the real program on a virtual screen, on a small sample of Arabic loans (some with warnings):
#     the ledger as loaded, sorted by title both ways, a clicked row, a warning's tool tip, both
#     date pickers, the update check, the about window, the report preview; the language
#     notice on a system with Latin fonts only; and, when run as root, the first-run installer;
#   - the record-command walk-through (add, edit, delete), a picture of the screen after each step;
#   - two spreadsheet files and an Access ledger imported, the preview and the summary of each;
#   - the desk: the names offered under a box, the list's menu on a loan out and on one returned;
#   - widget pictures drawn off screen: the update window in each state, the pickers' layouts, the
#     message boxes, the window chrome and every piece of artwork, and the report's pages (PDF
#     rendered to PNG).
#
#   scripts/screenshots.sh [build-folder]      (default: build; built when anything is missing)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
for tool in Xvfb xvfb-run xdotool sqlcipher import pdftoppm; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (run: make deps-test)" >&2; exit 1; }
done
if [ ! -x "$build/bin/Pelorin" ] || [ ! -x "$build/tests/update/test_update" ]; then
  cmake -S "$root" -B "$build" -DPELORIN_TESTS=ON >/dev/null
  cmake --build "$build" -j "$(nproc)"
fi

# shellcheck source=tests/support/e2e_lib.sh
source "$root/tests/support/e2e_lib.sh"
out=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-shots.XXXXXX")
e2e_session pelorin-shots-work # $work, the program's private home, settings and runtime folders
cp -r "$build/bin" "$work/bin"
rm -f "$work/bin/DataBook.mdb"
e2e_set_ini '[Setting]' 'Install=1'

day() { date -d "$1" +%Y/%m/%d; }
e2e_sql "$work/bin/DataBook.mdb" "
CREATE TABLE TableBook (ID INTEGER PRIMARY KEY AUTOINCREMENT, NameBook TEXT COLLATE NOCASE,
  NameWriter TEXT COLLATE NOCASE, NameBorrower TEXT COLLATE NOCASE, DateLoan TEXT COLLATE NOCASE,
  DateReturn TEXT COLLATE NOCASE, TimeLoan TEXT COLLATE NOCASE);
CREATE TABLE TableSetting (NameLibrary TEXT COLLATE NOCASE);
INSERT INTO TableSetting VALUES ('مكتبة البيت');
INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
 ('الأيام','طه حسين','أحمد','$(day '-40 days')','لم يرد بعد',''),
 ('كليلة ودمنة','ابن المقفع','سارة','2023/01/05','2023/03/20',''),
 ('البخلاء','الجاحظ','يوسف','2024/05/10','2024/04/01',''),
 ('رسالة الغفران','أبو العلاء المعري','ليلى','$(day '+1 day')','$(day '+2 days')',''),
 ('المقدمة','ابن خلدون','خالد','$(day '-400 days')','لم يرد بعد',''),
 ('الحيوان','الجاحظ','منى','$(day '-10 days')','$(day '-3 days')',''),
 ('طوق الحمامة','ابن حزم','عمر','2019/05/20','2024/08/22','');" >/dev/null
export out LATIN_FONTS=$root/tests/startup/latin_fonts.conf

# The real program. The script runs in the session's own shell, so its variables stay unexpanded here.
# shellcheck disable=SC2016
LANG=ar_SA.UTF-8 e2e_screen bash -c '
  set -uo pipefail
  source "$E2E_LIB"
  program=$0
  shoot() { import -window "$1" "$out/$2.png" && echo "screenshots: $out/$2.png"; }
  window() { e2e_window "^$1\$"; }
  # Controls are placed in twips (15 a pixel) from the window'"'"'s left edge.
  click() { xdotool mousemove --window "$1" $(($2 / 15)) $(($3 / 15)) click 1; }
  # open_shoot MAIN X Y TITLE NAME: clicks a picture of the ledger, pictures the window it
  # opens, and closes that window with Escape.
  open_shoot() {
    local id
    click "$1" "$2" "$3"
    id=$(window "$4")
    if [ -z "$id" ]; then echo "screenshots: no window \"$4\" opened" >&2; return; fi
    xdotool mousemove --window "$1" 700 5; sleep 1.2
    shoot "$id" "$5"
    xdotool windowactivate --sync "$id" 2>/dev/null; xdotool key Escape; sleep 0.6
  }

  "$program" & pid=$!
  trap "kill \$pid 2>/dev/null || true" EXIT
  wid=$(window Pelorin)
  [ -n "$wid" ] || { echo "screenshots: the ledger did not show" >&2; exit 1; }
  sleep 1.5
  shoot "$wid" ledger
  import -window root "$out/screen.png"
  # The list header starts 161 px down the window; "اسم الكتاب" is the second column from the right.
  xdotool mousemove --window "$wid" 640 172 click 1; sleep 0.8
  shoot "$wid" ledger-sorted-by-title
  xdotool mousemove --window "$wid" 640 172 click 1; sleep 0.8
  shoot "$wid" ledger-sorted-by-title-descending
  xdotool mousemove --window "$wid" 500 198 click 1; sleep 0.8
  xdotool mousemove --window "$wid" 360 293; sleep 0.5  # hover over the fifth row
  shoot "$wid" ledger-row-clicked
  # Rest on the red return date of the sixth row until its tool tip shows (a window of its own).
  xdotool mousemove --window "$wid" 225 317; sleep 0.3; xdotool mousemove --window "$wid" 228 318; sleep 2
  import -window root "$out/ledger-tooltip.png"; echo "screenshots: $out/ledger-tooltip.png"

  # The date pictures of the entry frame (at 2280,380) and the toolbar frame (at 120,1460).
  open_shoot "$wid" $((2280 + 4245 + 240)) $((380 + 760 + 240)) "اختيار تاريخ الإعارة" picker-loan-date
  open_shoot "$wid" $((2280 + 1035 + 240)) $((380 + 760 + 240)) "اختيار تاريخ الرد" picker-return-date
  open_shoot "$wid" $((120 + 1020 + 240)) $((1460 + 240 + 240)) "البحث عن تحديث للبرنامج" update
  open_shoot "$wid" $((120 + 60 + 240)) $((1460 + 240 + 240)) "حول البرنامج" about
  open_shoot "$wid" $((120 + 520 + 240)) $((1460 + 240 + 240)) "Pelorin - معاينة قبل الطباعة" report-preview
  kill $pid; wait $pid 2>/dev/null

  # A system whose only fonts are Latin: the language notice.
  FONTCONFIG_FILE=$LATIN_FONTS "$program" & pid=$!
  id=$(window "Pelorin - Does not support Arabic")
  if [ -n "$id" ]; then sleep 1; shoot "$id" language-notice; else echo "screenshots: no language notice" >&2; fi
  kill $pid 2>/dev/null; wait $pid 2>/dev/null

  # The first-run installer shows at once only for an administrator; elsewhere the program
  # would ask for the rights first.
  if [ "$(id -u)" = 0 ]; then
    ini=$E2E_INI
    cp "$ini" "$ini.keep"; e2e_set_ini "[Setting]" "Install=0"
    "$program" & pid=$!
    id=$(window "تنصيب الملفات اللازمة لتشغيل البرنامج")
    if [ -n "$id" ]; then sleep 1; shoot "$id" installer; else echo "screenshots: no installer" >&2; fi
    kill $pid 2>/dev/null; wait $pid 2>/dev/null
    mv "$ini.keep" "$ini"
  fi
' "$work/bin/Pelorin"

# The record commands, step by step.
mkdir -p "$out/record-commands"
PELORIN_SHOTS=$out/record-commands bash "$root/tests/e2e/record_commands.sh" "$build/bin" "$build/tools/make_databook" >/dev/null &&
  echo "screenshots: $out/record-commands/"

# Two spreadsheet files and an Access ledger imported: each preview and summary.
mkdir -p "$out/import"
PELORIN_SHOTS=$out/import bash "$root/tests/e2e_import/import_e2e.sh" "$build/bin" "$build/tools/make_databook" >/dev/null &&
  echo "screenshots: $out/import/"

# The desk: the names offered under a box, and the list's menu on a loan out and on one returned.
mkdir -p "$out/desk"
PELORIN_SHOTS=$out/desk bash "$root/tests/e2e_desk/desk_e2e.sh" "$build/bin" "$build/tools/make_databook" >/dev/null &&
  echo "screenshots: $out/desk/"

# Widget pictures drawn off screen.
export PELORIN_SHOTS=$out/widgets
mkdir -p "$PELORIN_SHOTS"
run_shots() { # test binary, gtest filter
  QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$build/tests/$1" --gtest_filter="$2" >/dev/null 2>&1 ||
    echo "screenshots: $1 ($2) failed" >&2
}
run_shots chrome/test_chrome 'Shots.*'
run_shots update/test_update 'Shots.*'
run_shots datepicker/test_datepicker '*Screenshots*'
run_shots startup/test_linux_platform 'LinuxMessageBox.*'
run_shots report/test_report 'ReportPdfTest.*'
run_shots import/test_import_command '*Preview*:*Access*:*ByHand*'
for pdf in "$PELORIN_SHOTS"/*.pdf; do
  [ -e "$pdf" ] || continue
  pdftoppm -r 60 -png "$pdf" "${pdf%.pdf}-page"
done
echo "screenshots: $PELORIN_SHOTS/"
echo "screenshots: pictures are in $out"
