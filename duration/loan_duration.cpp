#include "loan_duration.h"

#include <QStringList>

namespace pelorin::duration {

namespace {

const QString kSpace = QStringLiteral(" ");

QString yearsPiece(int n, bool followed)
{
    if (n == 2) return followed ? QStringLiteral(" سنتان و ") : QStringLiteral(" سنتان ");
    const QString unit = (n >= 3 && n <= 10) ? QStringLiteral(" سنوات ") : QStringLiteral(" سنة ");
    return QString::number(n) + unit + (followed ? QStringLiteral("و ") : QString());
}

QString monthsPiece(int n, bool followed)
{
    if (n == 2) return followed ? QStringLiteral("شهران و ") : QStringLiteral("شهران ");
    const QString unit = (n >= 3 && n <= 10) ? QStringLiteral(" أشهر ") : QStringLiteral(" شهراً ");
    return QString::number(n) + unit + (followed ? QStringLiteral("و ") : QString());
}

QString daysPiece(int n)
{
    if (n == 2) return QStringLiteral("يومان ");
    return QString::number(n) + ((n >= 3 && n <= 10) ? QStringLiteral(" أيام ") : QStringLiteral(" يوماً "));
}

} // namespace

DateParts PartsOf(const QDate& date)
{
    return {QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0')),
            QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0')),
            QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'))};
}

QString DateText(const QDate& date)
{
    const DateParts p = PartsOf(date);
    return p.year + QLatin1Char('/') + p.month + QLatin1Char('/') + p.day;
}

QDate ReadDate(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3) return {};
    int values[3];
    for (int i = 0; i < 3; ++i) {
        const QString& p = parts[i];
        if (p.isEmpty() || p.size() > 4) return {};
        for (QChar c : p)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return {};
        values[i] = p.toInt();
    }
    return QDate(FullYear(values[0]), values[1], values[2]);
}

int FullYear(int value)
{
    if (value >= 0 && value <= 29) return 2000 + value;
    if (value >= 30 && value <= 99) return 1900 + value;
    return value;
}

bool IsNotReturned(const QString& dateReturn)
{
    return dateReturn.trimmed() == kNotReturned;
}

bool LeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthInfo(int month, int year, int unchanged)
{
    switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return LeapYear(year) ? 29 : 28;
    default:
        return unchanged;
    }
}

int GetMonths(int fromMonth, int toMonth)
{
    if (fromMonth < 1 || fromMonth > 12 || toMonth < 1 || toMonth > 12) return 0;
    return ((toMonth - fromMonth) % 12 + 12) % 12;
}

QString CalcTimeLoan(const Span& s)
{
    const qint32 ly = s.loanYear.toInt(), lm = s.loanMonth.toInt(), ld = s.loanDay.toInt();
    const qint32 ey = s.endYear.toInt(), em = s.endMonth.toInt(), ed = s.endDay.toInt();

    int years = ey - ly;
    if (em < lm || (em == lm && ed < ld)) --years;
    int months = GetMonths(lm, em);
    if (ed < ld) --months;
    if (months == -1) months = 11;
    int days = 0;
    if (ed > ld)
        days = ed - ld;
    else if (ed < ld)
        days = (MonthInfo(lm, ly) - ld) + ed;

    QString phrase;
    if (years > 0) phrase += yearsPiece(years, months > 0 || days > 0);
    if (months > 0) phrase += monthsPiece(months, days > 0);
    if (days > 0) phrase += daysPiece(days);
    return phrase;
}

QString GetTimeLoan(const QString& dateLoan, const QString& dateReturn, const QDate& today)
{
    const bool out = IsNotReturned(dateReturn);
    const QDate loan = ReadDate(dateLoan);
    const QDate end = out ? today : ReadDate(dateReturn);
    // A hand-edited file may hold texts that are no dates: they are an input error too.
    if (!loan.isValid() || !end.isValid()) return kInputError;

    if (out) {
        if (loan == today) return kLentToday;
        if (loan > today) return kInputError;
    } else {
        if (end < loan) return kInputError;
        if (end == loan) return kOneDay;
    }
    const DateParts l = PartsOf(loan), e = PartsOf(end);
    return CalcTimeLoan({l.year, l.month, l.day, e.year, e.month, e.day});
}

} // namespace pelorin::duration
