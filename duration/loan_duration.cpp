#include "loan_duration.h"

#include <algorithm>
#include <string_view>

namespace pelorin::duration {

namespace {

// Counts 3 to 10 take the plural, 2 the dual; 1 and 11 upwards the singular.
bool plural(int n)
{
    return n >= 3 && n <= 10;
}

void addYears(TimeLoanText& p, int n, bool followed)
{
    if (n == 2) return p.Add(followed ? u" سنتان و " : u" سنتان ");
    p.AddNumber(n);
    p.Add(plural(n) ? u" سنوات " : u" سنة ");
    if (followed) p.Add(u"و ");
}

void addMonths(TimeLoanText& p, int n, bool followed)
{
    if (n == 2) return p.Add(followed ? u"شهران و " : u"شهران ");
    p.AddNumber(n);
    p.Add(plural(n) ? u" أشهر " : u" شهراً ");
    if (followed) p.Add(u"و ");
}

void addDays(TimeLoanText& p, int n)
{
    if (n == 2) return p.Add(u"يومان ");
    p.AddNumber(n);
    p.Add(plural(n) ? u" أيام " : u" يوماً ");
}

// The phrase for a span given as whole numbers.
void phraseOf(TimeLoanText& p, int ly, int lm, int ld, int ey, int em, int ed)
{
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

    if (years > 0) addYears(p, years, months > 0 || days > 0);
    if (months > 0) addMonths(p, months, days > 0);
    if (days > 0) addDays(p, days);
}

// A part of a date text: one to four ASCII digits; -1 otherwise.
int datePart(QStringView part)
{
    if (part.isEmpty() || part.size() > 4) return -1;
    int value = 0;
    for (QChar c : part) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// A year/month/day date as numbers; false when the text is no such date.
struct Ymd {
    int y = 0, m = 0, d = 0;
    bool operator==(const Ymd& o) const { return y == o.y && m == o.m && d == o.d; }
    bool operator<(const Ymd& o) const { return y != o.y ? y < o.y : m != o.m ? m < o.m : d < o.d; }
};

bool readYmd(QStringView text, Ymd& out)
{
    const QStringView t = text.trimmed();
    const qsizetype first = t.indexOf(QLatin1Char('/'));
    const qsizetype second = first < 0 ? -1 : t.indexOf(QLatin1Char('/'), first + 1);
    if (second < 0 || t.indexOf(QLatin1Char('/'), second + 1) >= 0) return false;
    const int y = datePart(t.left(first)), m = datePart(t.sliced(first + 1, second - first - 1)),
              d = datePart(t.sliced(second + 1));
    if (y < 0 || m < 0 || d < 0) return false;
    out = {FullYear(y), m, d};
    return QDate::isValid(out.y, m, d);
}

} // namespace

void TimeLoanText::Add(std::u16string_view piece)
{
    std::copy(piece.begin(), piece.end(), buf_ + size_);
    size_ += int(piece.size());
}

void TimeLoanText::AddNumber(int n)
{
    char16_t digits[12];
    int k = 0;
    unsigned v = unsigned(n);
    do {
        digits[k++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v);
    while (k)
        buf_[size_++] = digits[--k];
}

QString TimeLoanText::ToString() const
{
    return size_ ? View().toString() : QString();
}

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

QDate ReadDate(QStringView text)
{
    Ymd date;
    return readYmd(text, date) ? QDate(date.y, date.m, date.d) : QDate();
}

int FullYear(int value)
{
    if (value >= 0 && value <= 29) return 2000 + value;
    if (value >= 30 && value <= 99) return 1900 + value;
    return value;
}

bool IsNotReturned(QStringView dateReturn)
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
    TimeLoanText p;
    phraseOf(p, s.loanYear.toInt(), s.loanMonth.toInt(), s.loanDay.toInt(), s.endYear.toInt(),
             s.endMonth.toInt(), s.endDay.toInt());
    return p.ToString();
}

void TimeLoanInto(TimeLoanText& text, QStringView dateLoan, QStringView dateReturn, const QDate& today)
{
    text.Clear();
    const bool out = IsNotReturned(dateReturn);
    Ymd loan, end;
    if (out) today.getDate(&end.y, &end.m, &end.d);
    // A hand-edited file may hold texts that are no dates: they are an input error too.
    if (!readYmd(dateLoan, loan) || (out ? !today.isValid() : !readYmd(dateReturn, end)))
        return text.Add(kInputError);

    if (out) {
        if (loan == end) return text.Add(kLentToday);
        if (end < loan) return text.Add(kInputError);
    } else {
        if (end < loan) return text.Add(kInputError);
        if (end == loan) return text.Add(kOneDay);
    }
    // The six date parts as numbers, as their "yyyy", "mm" and "dd" texts read.
    phraseOf(text, loan.y, loan.m, loan.d, end.y, end.m, end.d);
}

QString GetTimeLoan(QStringView dateLoan, QStringView dateReturn, const QDate& today)
{
    TimeLoanText text;
    TimeLoanInto(text, dateLoan, dateReturn, today);
    return text.ToString();
}

} // namespace pelorin::duration
