#!/usr/bin/env bash
# Shows the ledger window on a virtual screen with a small sample of Arabic loans (some with
# warnings) and saves pictures of it: as loaded, after a click on the title header, and after
# a click on a row. Prints the folder that holds the PNG files.
#
#   scripts/screenshots.sh [build-folder]      (default: build; built when the program is missing)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
for tool in Xvfb xvfb-run xdotool sqlcipher import; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (run: make deps)" >&2; exit 1; }
done
if [ ! -x "$build/bin/Pelorin" ]; then
  cmake -S "$root" -B "$build" >/dev/null
  cmake --build "$build" --target Pelorin -j "$(nproc)"
fi

out=$(mktemp -d "${TMPDIR:-/tmp}/pelorin-shots.XXXXXX")
work=$out/.work
mkdir -p "$work/config/Pelorin" "$work/home"
cp -r "$build/bin" "$work/bin"
rm -f "$work/bin/DataBook.mdb"
printf '[Setting]\nInstall=1\n' >"$work/config/Pelorin/Pelorin.ini"

day() { date -d "$1" +%Y/%m/%d; }
sqlcipher "$work/bin/DataBook.mdb" >/dev/null <<SQL
PRAGMA key='vqt.lorman.kex';
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
 ('طوق الحمامة','ابن حزم','عمر','2019/05/20','2024/08/22','');
SQL

chmod 700 "$work"
export out
HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work LANG=ar_SA.UTF-8 LC_ALL= \
xvfb-run -a -n $((100 + $$ % 400)) -s "-screen 0 1024x768x24" bash -c '
  set -euo pipefail
  shoot() { import -window "$1" "$out/$2.png"; echo "screenshots: $out/$2.png"; }
  "$0" & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^Pelorin$" | head -n1)
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
' "$work/bin/Pelorin"
echo "screenshots: pictures are in $out"
