// Dates as spreadsheets write them, read into the stored form yyyy/mm/dd: year first
// (2024/03/15, 2024-03-15) or last (15/03/2024, 3/15/2024, 15-03-2024), in Latin, Arabic-Indic
// or Eastern Arabic-Indic digits.
#pragma once

#include <QList>
#include <QString>

#include "loan_duration.h"

namespace pelorin::importing {

// What a return date is stored as while the book is out.
using duration::kNotReturned;

enum class DayMonthOrder { DayFirst, MonthFirst };

// How a file's dates with the year last are read, and why, for the preview.
struct DayMonthChoice {
    enum class Basis {
        NotNeeded, // no date of the file could be read either way
        File,      // a date of the file reads only one way
        Mixed,     // dates of the file read only one way, and others only the other
        Default,   // nothing in the file tells: day first, as Arabic readers write
    };
    DayMonthOrder order = DayMonthOrder::DayFirst;
    Basis basis = Basis::NotNeeded;
    int line = 0;        // for File: a line with a date that shows the order
    QString explanation; // in Arabic; empty for NotNeeded
};

struct DateCell {
    int line = 0;
    QStringView text; // the cell of a record, which outlives the choice
};

// The order the file's dates show: any with a first part over 12 means day first, any with a
// second part over 12 month first; with neither, day first.
DayMonthChoice ChooseDayMonthOrder(const QList<DateCell>& cells);

struct DateResult {
    QString date;  // yyyy/mm/dd, when read
    QString error; // in Arabic, when not
    bool ok() const { return error.isEmpty(); }
};

// Reads one date; a date that reads only one way is read that way whatever the order. Years
// before 1600 (Hijri, as 1445/09/30) and days the calendar does not have are refused, each
// with its own reason, as is text that is no date.
DateResult ReadDate(QStringView text, DayMonthOrder order);

// A return date: empty or "لم يرد بعد" is kNotReturned, anything else as ReadDate.
DateResult ReadReturnDate(QStringView text, DayMonthOrder order);

inline const QString kHijriDate =
    QStringLiteral("يبدو أن التاريخ هجري، والبرنامج يحفظ التواريخ الميلادية فقط");
inline const QString kNoSuchDate = QStringLiteral("التاريخ غير موجود في التقويم");
inline const QString kUnreadableDate = QStringLiteral("لم يُفهم التاريخ؛ يُكتب مثل 2024/03/15 أو 15/03/2024");

} // namespace pelorin::importing
