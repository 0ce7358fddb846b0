#!/usr/bin/env bash
# Saves the loan report as a PDF from the built program on a virtual screen, with the keys of the
# Arabic layout (Ctrl+Shift and the key marked S), through the save dialog; mutool and pdftotext
# then read the file: every title comes back from mutool as typed, lam-alef and all, and neither
# reader gives a presentation form, a replacement character or a control character.
#
#   pdf_e2e.sh BIN_FOLDER MAKE_DATABOOK     (exit 77: skipped, no virtual X server or no readers)
# With PELORIN_SHOTS set to a folder, pictures of the screen are saved there.
set -euo pipefail

# shellcheck source=../support/e2e_lib.sh
source "$(dirname "$0")/../support/e2e_lib.sh"
bin_dir=${1:?usage: pdf_e2e.sh BIN_FOLDER MAKE_DATABOOK}
e2e_need_screen
e2e_need_sqlcipher
e2e_need_program "$bin_dir"
for tool in mutool pdftotext; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing, skipped"; exit 77; }
done

e2e_session pelorin-pdf
e2e_fresh_copy "$bin_dir" "${2:?usage: pdf_e2e.sh BIN_FOLDER MAKE_DATABOOK}"
TITLES='الأيام
إلى الإسلام
لا تحزن
كتاب 2024'
e2e_sql "$work/bin/DataBook.mdb" "
UPDATE TableSetting SET NameLibrary = 'مكتبة الأسرة';
INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan) VALUES
 ('الأيام','طه حسين','أحمد','2024/01/15','لم يرد بعد',''), ('إلى الإسلام','مؤلف','سالم','2023/05/20','2023/06/01',''),
 ('لا تحزن','عائض القرني','ليلى','2024/02/01','لم يرد بعد',''), ('كتاب 2024','Latin','خالد','2021/12/30','لم يرد بعد','');" >/dev/null

drive() {
  set -euo pipefail
  local main dialog
  e2e_arabic_keyboard
  e2e_launch "$1"
  main=$(e2e_wait_window Pelorin)
  e2e_press "$main" ctrl+shift+Arabic_seen
  dialog=$(e2e_wait_window "حفظ التقرير بصيغة PDF")
  e2e_shot pdf_save_dialog
  e2e_press "$dialog" Return
  e2e_answer "تنبيه" pdf_saved
  e2e_gone "$dialog"
  e2e_alive
}
# The dialog offers the home folder (there is no documents folder) and a name with today's date.
LANG=ar_SA.UTF-8
export LANG
e2e_on_screen drive "$work/bin/Pelorin"
pdf="$HOME/$(date +%Y-%m-%d) تقرير الإعارات.pdf"
[ -s "$pdf" ] || e2e_die "no PDF at $pdf"

# Presentation forms, the replacement character and control characters other than line and page
# breaks (the direction marks pdftotext puts around lines are not ours).
faults() {
  python3 -c 'import re, sys
print(" ".join(sorted({"U+%04X" % ord(c) for c in re.sub("[\u202a-\u202e]", "", sys.stdin.read())
      if 0xFB50 <= ord(c) <= 0xFDFF or 0xFE70 <= ord(c) <= 0xFEFF or ord(c) == 0xFFFD
      or (ord(c) < 0x20 and c not in "\n\f") or 0x7F <= ord(c) < 0xA0})))'
}
text=$(mutool draw -q -F txt -o - "$pdf" 2>/dev/null)
bad=$(faults <<<"$text")
[ -z "$bad" ] || e2e_die "mutool read $bad"
bad=$(pdftotext -enc UTF-8 "$pdf" - | faults)
[ -z "$bad" ] || e2e_die "pdftotext read $bad"
while IFS= read -r title; do
  grep -qF -- "$title" <<<"$text" || e2e_die "mutool did not read [$title] in: $text"
done <<<"$TITLES"
grep -qF "مكتبة الأسرة" <<<"$text" || e2e_die "no library name in: $text"
echo "e2e: the report saved from the window reads as its letters with mutool and pdftotext"
printf '%s\n' "$text" | head -n 8
