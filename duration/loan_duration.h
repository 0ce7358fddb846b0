// How long a book has been out, as the Arabic text stored with each loan.
#pragma once

#include <QDate>
#include <QString>

#include <string_view>

namespace pelorin::duration {

inline const QString kNotReturned = QStringLiteral("لم يرد بعد");
inline const QString kLentToday = QStringLiteral("اليوم تم إعارة الكتاب");
inline const QString kOneDay = QStringLiteral("تم إعارة الكتاب ليوم واحد");
inline const QString kInputError = QStringLiteral("خطأ في المدخلات");
inline const QString kTimeLoanField = QStringLiteral("TimeLoan");
inline const QString kDateLoanField = QStringLiteral("DateLoan");
inline const QString kDateReturnField = QStringLiteral("DateReturn");

// The year, month and day of a date as the texts "yyyy", "mm" and "dd".
struct DateParts {
    QString year, month, day;
};
DateParts PartsOf(const QDate& date);
// Reads a stored "yyyy/mm/dd" text; an invalid QDate when it is no such date. A year below
// 100 is read through FullYear, as the date picker reads it.
QDate ReadDate(QStringView text);
// A year value of 0 to 99 read the way short dates are: 0-29 as 2000-2029, 30-99 as 1930-1999.
// Other values are the year itself.
int FullYear(int value);
// Formats a date as the stored "yyyy/mm/dd" text, in the Gregorian calendar.
QString DateText(const QDate& date);
// True when the trimmed text is the not-returned marker.
bool IsNotReturned(QStringView dateReturn);

// Gregorian leap year.
bool LeapYear(int year);
// Days of the month in the year; for a month outside 1..12, unchanged is returned.
int MonthInfo(int month, int year, int unchanged = 0);
// Forward steps from one month to the other on the twelve-month wheel (0..11).
int GetMonths(int fromMonth, int toMonth);

// The six parts of a span from the loan date to the end date.
struct Span {
    QString loanYear, loanMonth, loanDay, endYear, endMonth, endDay;
};
// The duration phrase for a span; empty when it holds no whole day.
QString CalcTimeLoan(const Span& span);
// The text stored in TimeLoan for a loan.
QString GetTimeLoan(QStringView dateLoan, QStringView dateReturn, const QDate& today);

// A duration text built in place: a pass over a hundred thousand loans compares each with the
// stored one and makes a string only for those that differ.
class TimeLoanText {
public:
    QStringView View() const { return QStringView(buf_, size_); }
    QString ToString() const; // null when empty
    void Clear() { size_ = 0; }
    void Add(std::u16string_view piece);
    void Add(const QString& text)
    {
        Add(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
    }
    void AddNumber(int n);

private:
    char16_t buf_[128];
    int size_ = 0;
};
// GetTimeLoan's text, written into text.
void TimeLoanInto(TimeLoanText& text, QStringView dateLoan, QStringView dateReturn, const QDate& today);

// Brings TimeLoan up to today on every row of an open result set: each row's text is computed,
// and only the rows whose stored text differs are written, in one transaction on the set's
// connection. The file ends as a rewrite of every row would leave it; a ledger whose texts are
// current is not written at all, so the pass then takes no write lock. False (and nothing
// written) when a write failed.
template <class Connection, class Recordset>
bool RefreshTimeLoan(Connection& conn, Recordset& rs, const QDate& today)
{
    const int loan = rs.FieldIndex(kDateLoanField), back = rs.FieldIndex(kDateReturnField),
              time = rs.FieldIndex(kTimeLoanField);
    bool writing = false;
    TimeLoanText text;
    while (!rs.Eof()) {
        TimeLoanInto(text, rs.FieldView(loan), rs.FieldView(back), today);
        const QStringView stored = rs.FieldView(time);
        // A null field is not the empty text: a rewrite would store the text over it.
        if (stored.isNull() || stored != text.View()) {
            if (!writing && !(writing = conn.BeginTrans())) return false;
            rs.SetField(kTimeLoanField, text.ToString());
        }
        if (!rs.MoveNext()) {
            conn.RollbackTrans();
            return false;
        }
    }
    return !writing || conn.CommitTrans();
}

} // namespace pelorin::duration
