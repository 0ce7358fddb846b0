#!/usr/bin/env bash
# Imports two files as spreadsheets write them into the built program on a virtual screen: the
# plain "CSV" of an Arabic Windows (Windows-1256, semicolons, day-first dates) and "Unicode text"
# (UTF-16 with a byte-order mark, tabs, Arabic-Indic digits, which Windows-1256 cannot hold);
# then an Access file holding TableBook and TableSetting, read through the program's Access
# reader. Each goes through Ctrl+I, the open dialog, the preview and the summary; the sqlcipher
# shell then reads the loans and the library name the ledger holds.
#
#   import_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server here)
# With PELORIN_SHOTS set to a folder, pictures of the screen are saved there.
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: import_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"

e2e_session pelorin-import
e2e_fresh_copy "$bin_dir" "${2:?usage: import_e2e.sh BIN_FOLDER MAKE_DATABOOK}"
cp "$bin_dir/pelorin_access_reader" "$work/bin/"
python3 "$(dirname "$0")/../import/jet4_writer.py" fixtures "$work/access"
cp "$work/access/ledger.mdb" "$HOME/"
e2e_sql "$work/bin/DataBook.mdb" "INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan)
 VALUES ('الأيام','طه حسين','أحمد','2024/01/15','لم يرد بعد','');" >/dev/null

python3 - "$HOME" <<'PY'
import sys
home = sys.argv[1]
rows = ["الكتاب;المؤلف;المستعير;تاريخ الإعارة;تاريخ الرد",
        "الايام;طه حسين;احمد;15/01/2024;",                      # the ledger has it
        "البخلاء;الجاحظ;سارة;03/04/2024;20/04/2024",              # read day first
        '"كتاب ""النوادر""; الأول";أبو علي القالي;علي;25/12/2023;لم يرد بعد',
        "رحلة;ابن بطوطة;منى;1445/09/30;"]                        # Hijri: refused
with open(f"{home}/windows.csv", "w", encoding="cp1256", newline="\r\n") as f:
    f.write("\n".join(rows) + "\n")
rows = ["اسم الكتاب\tاسم المؤلف\tاسم المستعير\tتاريخ الإعارة\tتاريخ الرد",
        "المقدمة\tابن خلدون\tليلى\t٠٧/٠٣/٢٠٢٤\t",
        "الأغاني\tالأصفهاني\tهدى\t۱۲/۰۲/۲۰۲۴\t۱۹/۰۲/۲۰۲۴"]
with open(f"{home}/unicode.txt", "w", encoding="utf-16", newline="\r\n") as f:
    f.write("\n".join(rows) + "\n")
PY

drive() {
  set -euo pipefail
  local main
  # Ctrl+I (on the Arabic layout the key marked I gives ha) opens the dialog in the home folder
  # (there is no documents folder); the file's name is typed on the Latin layout, since Latin
  # letters borrowed for the Arabic one can be lost under load.
  import_file() { # NAME SHOT
    local dialog preview
    e2e_press "$main" ctrl+Arabic_ha
    dialog=$(e2e_wait_window "استيراد الإعارات من ملف")
    e2e_focus "$dialog"
    setxkbmap -layout us
    xdotool type --delay 40 "$1"
    xdotool key Return
    preview=$(e2e_wait_window "استيراد الإعارات")
    setxkbmap -layout ara
    e2e_shot "$2-preview"
    e2e_press "$preview" Return # Import, the default button
    e2e_wait_window "تنبيه" >/dev/null
    e2e_shot "$2-summary"
    e2e_answer "تنبيه"
    e2e_gone "$preview"
  }

  e2e_arabic_keyboard
  e2e_launch "$1"
  main=$(e2e_wait_window Pelorin)
  import_file windows.csv import-windows1256
  import_file unicode.txt import-utf16
  import_file ledger.mdb import-access
  e2e_alive
}
LANG=ar_SA.UTF-8
export LANG
e2e_on_screen drive "$work/bin/Pelorin"

got=$(e2e_sql "$work/bin/DataBook.mdb" \
  "SELECT NameBook || '|' || NameWriter || '|' || NameBorrower || '|' || DateLoan || '|' || DateReturn FROM TableBook ORDER BY ID;")
want='الأيام|طه حسين|أحمد|2024/01/15|لم يرد بعد
البخلاء|الجاحظ|سارة|2024/04/03|2024/04/20
كتاب "النوادر"; الأول|أبو علي القالي|علي|2023/12/25|لم يرد بعد
المقدمة|ابن خلدون|ليلى|2024/03/07|لم يرد بعد
الأغاني|الأصفهاني|هدى|2024/02/12|2024/02/19
Kitab al-Aghani الأغاني vol. 1|Abu al-Faraj|سارة|2023/11/02|2023/12/01
البخلاء|||2024/02/29|لم يرد بعد
ديوان 𝄞 المتنبي|المتنبي|علي|2022/05/20|2022/06/01'
[ "$got" = "$want" ] || e2e_die "the ledger holds [$got], expected [$want]"
library=$(e2e_sql "$work/bin/DataBook.mdb" "SELECT NameLibrary FROM TableSetting;")
[ "$library" = "مكتبة الأسرة" ] || e2e_die "the library name is [$library], not the Access file's"
blank=$(e2e_sql "$work/bin/DataBook.mdb" "SELECT count(*) FROM TableBook WHERE TimeLoan IS NULL OR TimeLoan = '';")
[ "$blank" = 0 ] || e2e_die "$blank imported loans have no duration"
backups=$(find "$work/bin/Backups" -name '*.mdb' | wc -l)
[ "$backups" -ge 1 ] || e2e_die "no backup was taken before the import"
echo "e2e: a Windows-1256 and a UTF-16 spreadsheet file and an Access ledger came in through the preview, as the ledger shows"
