#include "date_reader.h"

#include <QDate>

#include <array>

namespace pelorin::importing {

namespace {

// The three numbers of a date and whether the year comes first.
struct Parts {
    std::array<int, 3> n = {0, 0, 0};
    std::array<int, 3> digits = {0, 0, 0};
    bool yearFirst = false;
};

int digitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= 0x0660 && c <= 0x0669) return c - 0x0660;
    if (c >= 0x06F0 && c <= 0x06F9) return c - 0x06F0;
    return -1;
}

// Three runs of digits split by one kind of separator, / or -, with a year of four digits
// first or last; false for anything else.
bool split(QStringView text, Parts& parts)
{
    text = text.trimmed();
    int part = 0;
    char16_t sep = 0;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        const int d = digitValue(c);
        if (d >= 0) {
            if (parts.digits[size_t(part)] >= 4) return false;
            parts.n[size_t(part)] = parts.n[size_t(part)] * 10 + d;
            ++parts.digits[size_t(part)];
            continue;
        }
        if ((c != u'/' && c != u'-') || (sep && c != sep) || part == 2 || !parts.digits[size_t(part)])
            return false;
        sep = c;
        ++part;
    }
    if (part != 2 || !parts.digits[2]) return false;
    parts.yearFirst = parts.digits[0] == 4;
    if (parts.yearFirst) return parts.digits[1] <= 2 && parts.digits[2] <= 2;
    return parts.digits[2] == 4 && parts.digits[0] <= 2 && parts.digits[1] <= 2;
}

} // namespace

DayMonthChoice ChooseDayMonthOrder(const QList<DateCell>& cells)
{
    DayMonthChoice choice;
    const DateCell* dayFirst = nullptr;
    const DateCell* monthFirst = nullptr;
    bool ambiguous = false;
    for (const DateCell& cell : cells) {
        Parts p;
        if (!split(cell.text, p) || p.yearFirst) continue;
        if (p.n[0] > 12 && p.n[1] <= 12) {
            if (!dayFirst) dayFirst = &cell;
        } else if (p.n[1] > 12 && p.n[0] <= 12) {
            if (!monthFirst) monthFirst = &cell;
        } else if (p.n[0] <= 12 && p.n[1] <= 12) {
            ambiguous = true;
        }
    }
    if (dayFirst && monthFirst) {
        choice.basis = DayMonthChoice::Basis::Mixed;
        choice.explanation = QStringLiteral("في الملف تواريخ اليوم فيها قبل الشهر (السطر %1) وأخرى الشهر "
                                            "فيها قبل اليوم (السطر %2)؛ ما يحتمل الوجهين قُرئ اليوم فيه أولًا")
                                 .arg(dayFirst->line)
                                 .arg(monthFirst->line);
    } else if (dayFirst || monthFirst) {
        const DateCell* shown = dayFirst ? dayFirst : monthFirst;
        choice.order = dayFirst ? DayMonthOrder::DayFirst : DayMonthOrder::MonthFirst;
        choice.basis = DayMonthChoice::Basis::File;
        choice.line = shown->line;
        choice.explanation =
            (dayFirst ? QStringLiteral("قُرئ اليوم قبل الشهر، كما يُظهر التاريخ %1 في السطر %2")
                      : QStringLiteral("قُرئ الشهر قبل اليوم، كما يُظهر التاريخ %1 في السطر %2"))
                .arg(shown->text.trimmed())
                .arg(shown->line);
    } else if (ambiguous) {
        choice.basis = DayMonthChoice::Basis::Default;
        choice.explanation =
            QStringLiteral("لا تاريخ في الملف يُظهر أيهما أولًا اليوم أم الشهر؛ قُرئ اليوم قبل الشهر");
    }
    return choice;
}

DateResult ReadDate(QStringView text, DayMonthOrder order)
{
    Parts p;
    if (!split(text, p)) return {QString(), kUnreadableDate};
    int year, month, day;
    if (p.yearFirst) {
        year = p.n[0];
        month = p.n[1];
        day = p.n[2];
    } else {
        year = p.n[2];
        bool dayFirst = order == DayMonthOrder::DayFirst;
        if (p.n[0] > 12 && p.n[1] <= 12) dayFirst = true;
        if (p.n[1] > 12 && p.n[0] <= 12) dayFirst = false;
        day = dayFirst ? p.n[0] : p.n[1];
        month = dayFirst ? p.n[1] : p.n[0];
    }
    if (year < 1600) return {QString(), kHijriDate};
    if (!QDate::isValid(year, month, day)) return {QString(), kNoSuchDate};
    // Written digit by digit: a file of a hundred thousand loans reads three dates a row.
    const char16_t stored[10] = {char16_t(u'0' + year / 1000),
                                 char16_t(u'0' + year / 100 % 10),
                                 char16_t(u'0' + year / 10 % 10),
                                 char16_t(u'0' + year % 10),
                                 u'/',
                                 char16_t(u'0' + month / 10),
                                 char16_t(u'0' + month % 10),
                                 u'/',
                                 char16_t(u'0' + day / 10),
                                 char16_t(u'0' + day % 10)};
    return {QString(reinterpret_cast<const QChar*>(stored), 10), QString()};
}

DateResult ReadReturnDate(QStringView text, DayMonthOrder order)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty() || t == kNotReturned) return {kNotReturned, QString()};
    return ReadDate(t, order);
}

} // namespace pelorin::importing
