#!/usr/bin/env python3
"""Prints the one summary table of `make bench` from the JSON files the benchmarks wrote."""
import json
import sys

# (figure, benchmark name prefix, counter, target, unit)
FIGURES = [
    ("start to a filled list at 10,000 loans", "BM_Start/10000/", "ratio", 1.2, ""),
    ("start to a filled list at 100,000 loans", "BM_Start/100000/", "ratio", 1.3, ""),
    ("ledger ready at 100,000 loans, texts current", "BM_LedgerReady/0/", "ratio", 1.15, ""),
    ("ledger ready at 100,000 loans, 5 % of texts stale", "BM_LedgerReady/1/", "ratio", 1.3, ""),
    ("header-click re-sort at 100,000 loans", "BM_HeaderClickSort/", "ratio", 0.5, ""),
    ("resident memory after load, 100,000 loans", "BM_LedgerReady/0/", "resident_MB", 120, " MB"),
    ("resident memory after sorts, 100,000 loans", "BM_HeaderClickSort/", "resident_MB", 120, " MB"),
    ("report of 10,000 rows to PDF", "BM_LoanReportPdf/10000/", "ratio", 1.3, ""),
    ("report of 10,000 rows saved as PDF with text, against the printer's PDF",
     "BM_LoanReportTextPdf/10000/", "ratio", 1.2, ""),
    ("backup of 100,000 loans", "BM_Backup/100000/", "ratio", 1.5, ""),
    ("find-bar keystroke at 100,000 loans", "BM_FindKeystroke/100000/", "ratio", 1.5, ""),
    ("CSV export of 100,000 loans", "BM_ExportCsv/100000/", "ratio", 3, ""),
    ("CSV import of 100,000 loans", "BM_ImportCsv/100000/", "ratio", 1.5, ""),
    ("Access table of 100,000 loans read into rows, against mdb-export", "BM_ImportAccess/100000/", "ratio", 1.5, ""),
    # No target: the same with the one-transaction write the CSV import shares.
    ("Access import of 100,000 loans with the write, against mdb-export", "BM_ImportAccess/100000/",
     "ratio_with_write", None, ""),
    ("names offered for one letter at 100,000 loans, to the find bar's keystroke", "BM_NameSuggestions/1/",
     "ratio", 1, ""),
    ("names offered for two letters at 100,000 loans, to the find bar's keystroke", "BM_NameSuggestions/2/",
     "ratio", 1, ""),
    ("resident memory after load with the names gathered, 100,000 loans", "BM_NameSuggestions/1/",
     "resident_MB", 120, " MB"),
    # No target: the names are gathered again once the list is rebuilt after a change, while
    # the confirmation shows; a keystroke before that waits for it.
    ("names gathered again after a change at 100,000 loans", "BM_NameSuggestions/1/", "gather_ms", None,
     " ms"),
    # No target: the same export against the same bytes replaced as a whole and synced to the
    # disk, as the export must save them; shows what making the text costs beyond that.
    ("CSV export against a synced whole-file save of the same bytes", "BM_ExportCsv/100000/",
     "ratio_to_safe_save", None, ""),
]


def main(paths):
    runs = []
    for path in paths:
        try:
            with open(path, encoding="utf-8") as f:
                runs.extend(json.load(f).get("benchmarks", []))
        except (OSError, ValueError):
            continue
    print("| figure | measured | target | met |")
    print("|---|---|---|---|")
    for figure, prefix, counter, target, unit in FIGURES:
        run = next((r for r in runs if r.get("name", "").startswith(prefix) and counter in r), None)
        wanted = "—" if target is None else f"≤ {target}{unit}"
        if run is None or run.get("error_occurred"):
            print(f"| {figure} | missing | {wanted} | no |")
            continue
        value = run[counter]
        shown = f"{value:.0f}" if unit else f"{value:.2f}"
        if target is None:
            print(f"| {figure} | {shown}{unit} | — | — |")
            continue
        print(f"| {figure} | {shown}{unit} | ≤ {target}{unit} | {'yes' if value <= target else 'no'} |")


if __name__ == "__main__":
    main(sys.argv[1:])
