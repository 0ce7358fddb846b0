#!/usr/bin/env python3
"""Debian's mdb-export, a reader we did not write, reads the Access files our Jet 4 writer
wrote for the tests as the writer meant them.

    check_fixtures.py FOLDER
"""
import csv
import io
import subprocess
import sys

folder = sys.argv[1]


def export(name, table):
    out = subprocess.run(["mdb-export", f"{folder}/{name}", table], capture_output=True, check=True)
    return list(csv.reader(io.StringIO(out.stdout.decode("utf-8"))))


def expect(got, want, what):
    if got != want:
        sys.exit(f"{what}: mdb-export read {got!r}, the writer wrote {want!r}")


# Plain and compressed text, NULL and empty; mdb-export shows the G clef beyond the BMP as "??".
book = export("ledger.mdb", "TableBook")
expect(book[0], ["ID", "NameBook", "NameWriter", "NameBorrower", "DateLoan", "DateReturn", "TimeLoan"], "columns")
expect([r[1] for r in book[1:]], ["الأيام", "Kitab al-Aghani الأغاني vol. 1", "البخلاء", "ديوان ?? المتنبي"], "titles")
expect(book[3][2:6], ["", "", "2024/02/29", ""], "NULLs")
expect(export("ledger.mdb", "TableSetting"), [["NameLibrary"], ["مكتبة الأسرة"]], "library name")
# The same rows from every page encoded with RC4, and under Access 2007's mark.
expect(export("encoded.mdb", "TableBook"), book, "encoded file")
expect(export("ledger.accdb", "TableBook"), book[:2], "ACE file")
# A Date/Time column and memos inline, on one LVAL page and on a chain of them.
loans = export("other.mdb", "إعارات الكتب")
expect(loans[0], ["Num", "عنوان الكتاب", "Writer", "Reader", "OutDate", "BackDate", "Notes"], "other columns")
expect(loans[1][4], "03/07/24 00:00:00", "a date")
expect([len(r[6]) for r in loans[1:]], [5, 300, 26000, 0], "memo lengths")
print("mdb-export reads the writer's files as written")
