#include <gtest/gtest.h>

#include "loan_duration.h"

using namespace pelorin::duration;

namespace {

struct Case {
    const char* loan;
    const char* ret; // "out" for the not-returned marker
    QDate today;
    QString expected;
};

QString out()
{
    return kNotReturned;
}

const QDate kAnyDay(2030, 6, 15);

std::vector<Case> workedTable()
{
    return {
        {"2024/03/10", "out", QDate(2024, 3, 10), kLentToday},
        {"2024/03/10", "2024/03/10", kAnyDay, kOneDay},
        {"2024/03/10", "2024/03/09", kAnyDay, kInputError},
        {"2024/03/10", "out", QDate(2024, 3, 1), kInputError},
        {"2024/01/15", "2024/01/16", kAnyDay, QStringLiteral("1 يوماً ")},
        {"2024/01/15", "2024/01/17", kAnyDay, QStringLiteral("يومان ")},
        {"2024/01/15", "2024/01/25", kAnyDay, QStringLiteral("10 أيام ")},
        {"2024/01/15", "2024/02/15", kAnyDay, QStringLiteral("1 شهراً ")},
        {"2024/01/15", "2024/03/20", kAnyDay, QStringLiteral("شهران و 5 أيام ")},
        {"2020/05/20", "2022/05/20", kAnyDay, QStringLiteral(" سنتان ")},
        {"2019/05/20", "2024/08/22", kAnyDay, QStringLiteral("5 سنوات و 3 أشهر و يومان ")},
        {"2000/01/01", "2011/01/01", kAnyDay, QStringLiteral("11 سنة ")},
        {"2023/01/01", "2024/01/02", kAnyDay, QStringLiteral("1 سنة و 1 يوماً ")},
        {"2022/06/30", "2024/07/01", kAnyDay, QStringLiteral(" سنتان و 1 يوماً ")},
        {"2024/05/20", "2024/06/10", kAnyDay, QStringLiteral("21 يوماً ")},
        {"2024/01/31", "2024/02/01", kAnyDay, QStringLiteral("1 يوماً ")},
        {"2023/03/15", "2024/03/10", kAnyDay, QStringLiteral("11 شهراً و 26 يوماً ")},
        {"2024/02/20", "2024/03/05", kAnyDay, QStringLiteral("14 يوماً ")},
        {"2023/02/20", "2023/03/05", kAnyDay, QStringLiteral("13 يوماً ")},
        {"2024/01/20", "out", QDate(2024, 12, 25), QStringLiteral("11 شهراً و 5 أيام ")},
        // Century years follow the Gregorian rule: 2100 is no leap year, 2000 is one.
        {"2100/02/20", "2100/03/05", kAnyDay, QStringLiteral("13 يوماً ")},
        {"2000/02/20", "2000/03/05", kAnyDay, QStringLiteral("14 يوماً ")},
        // A returned book with a loan date after today still gets its phrase.
        {"2031/01/01", "2031/01/04", kAnyDay, QStringLiteral("3 أيام ")},
        // Two years and two months: both dual forms, followed and not.
        {"2020/01/10", "2022/03/10", kAnyDay, QStringLiteral(" سنتان و شهران ")},
        {"2020/01/10", "2022/03/12", kAnyDay, QStringLiteral(" سنتان و شهران و يومان ")},
        // Just short of a whole year: eleven months and the rest of the loan month.
        {"2023/05/20", "2024/05/19", kAnyDay, QStringLiteral("11 شهراً و 30 يوماً ")},
        {"2013/01/01", "2024/01/01", kAnyDay, QStringLiteral("11 سنة ")},
        {"2014/01/01", "2024/01/01", kAnyDay, QStringLiteral("10 سنوات ")},
        {"2021/01/01", "2024/04/01", kAnyDay, QStringLiteral("3 سنوات و 3 أشهر ")},
    };
}

} // namespace

TEST(LoanDuration, WorkedTableAndEdges)
{
    for (const Case& c : workedTable()) {
        const QString ret =
            QString::fromUtf8(c.ret) == QLatin1String("out") ? out() : QString::fromUtf8(c.ret);
        EXPECT_EQ(GetTimeLoan(QString::fromUtf8(c.loan), ret, c.today), c.expected)
            << c.loan << " -> " << c.ret << " today " << c.today.toString(Qt::ISODate).toStdString();
    }
}

TEST(LoanDuration, MarkerIsComparedTrimmedAndWhole)
{
    const QDate today(2024, 3, 20);
    EXPECT_EQ(GetTimeLoan(QStringLiteral(" 2024/03/10 "), QStringLiteral("  لم يرد بعد "), today),
              QStringLiteral("10 أيام "));
    // An inner blank or a diacritic makes it no marker and so no date: an input error.
    EXPECT_EQ(GetTimeLoan(QStringLiteral("2024/03/10"), QStringLiteral("لم  يرد بعد"), today), kInputError);
    EXPECT_EQ(GetTimeLoan(QStringLiteral("2024/03/10"), QStringLiteral("لَم يرد بعد"), today), kInputError);
}

TEST(LoanDuration, StillOutBeforeTodayAlwaysGetsAPhrase)
{
    const QDate today(2024, 3, 1);
    for (QDate d = QDate(2019, 1, 1); d < today; d = d.addDays(37)) {
        const QString text = GetTimeLoan(DateText(d), kNotReturned, today);
        EXPECT_FALSE(text.isEmpty()) << DateText(d).toStdString();
        EXPECT_NE(text, kInputError);
        EXPECT_TRUE(text.endsWith(QLatin1Char(' ')));
    }
}

TEST(LoanDuration, HandEditedDatesAreInputErrors)
{
    const QDate today(2024, 3, 20);
    for (const char* bad : {"", "2024-03-10", "2024/13/01", "2023/02/29", "abcd/ef/gh", "2024/03",
                            "2024/03/10/1", "20245/01/01", "-2024/01/01", "٢٠٢٤/٠٣/١٠"}) {
        EXPECT_EQ(GetTimeLoan(QString::fromUtf8(bad), QStringLiteral("2024/03/12"), today), kInputError)
            << bad;
        EXPECT_EQ(GetTimeLoan(QStringLiteral("2024/03/10"), QString::fromUtf8(bad), today), kInputError)
            << bad;
    }
    // Dates without leading zeros are still year/month/day.
    EXPECT_EQ(GetTimeLoan(QStringLiteral("2024/3/1"), QStringLiteral("2024/3/4"), today),
              QStringLiteral("3 أيام "));
}

// The date picker leaves a year typed with one or two digits as it stands in the date text
// ("24/03/10") while it counts days and names the weekday for 2024; the stored text is read
// the same way, never as a year of the first century.
TEST(LoanDuration, ShortYearsAreReadAsThePickerReadsThem)
{
    EXPECT_EQ(ReadDate(QStringLiteral("24/03/10")), QDate(2024, 3, 10));
    EXPECT_EQ(ReadDate(QStringLiteral("0012/05/03")), QDate(2012, 5, 3));
    EXPECT_EQ(ReadDate(QStringLiteral("0000/01/01")), QDate(2000, 1, 1));
    EXPECT_EQ(ReadDate(QStringLiteral("29/12/31")), QDate(2029, 12, 31));
    EXPECT_EQ(ReadDate(QStringLiteral("30/01/01")), QDate(1930, 1, 1));
    EXPECT_EQ(ReadDate(QStringLiteral("99/1/2")), QDate(1999, 1, 2));
    EXPECT_EQ(ReadDate(QStringLiteral("100/01/02")), QDate(100, 1, 2));
    // 2000 is a leap year, so "0/02/29" is a date.
    EXPECT_EQ(ReadDate(QStringLiteral("0/02/29")), QDate(2000, 2, 29));

    const QDate today(2024, 3, 10);
    EXPECT_EQ(GetTimeLoan(QStringLiteral("24/03/10"), kNotReturned, today), kLentToday);
    EXPECT_EQ(GetTimeLoan(QStringLiteral("24/03/10"), QStringLiteral("2024/03/12"), today),
              QStringLiteral("يومان "));
    EXPECT_EQ(GetTimeLoan(QStringLiteral("2023/03/10"), QStringLiteral("24/03/10"), today),
              QStringLiteral("1 سنة "));
}

TEST(Calendar, LeapYearsAndMonthLengths)
{
    EXPECT_TRUE(LeapYear(2000));
    EXPECT_TRUE(LeapYear(2024));
    EXPECT_FALSE(LeapYear(1900));
    EXPECT_FALSE(LeapYear(2100));
    EXPECT_FALSE(LeapYear(2023));
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(MonthInfo(m, 2023), lengths[m - 1]) << m;
    EXPECT_EQ(MonthInfo(2, 2024), 29);
    // Outside 1..12 the caller's value stands.
    EXPECT_EQ(MonthInfo(0, 2024, 17), 17);
    EXPECT_EQ(MonthInfo(13, 2024, 5), 5);
}

TEST(Calendar, MonthsOnTheWheel)
{
    EXPECT_EQ(GetMonths(3, 3), 0);
    EXPECT_EQ(GetMonths(1, 12), 11);
    EXPECT_EQ(GetMonths(12, 1), 1);
    EXPECT_EQ(GetMonths(11, 2), 3);
    EXPECT_EQ(GetMonths(0, 5), 0);
    EXPECT_EQ(GetMonths(5, 13), 0);
}

TEST(Calendar, DateTextsAreFixedWidthAndSortByDate)
{
    EXPECT_EQ(DateText(QDate(2024, 3, 5)), QStringLiteral("2024/03/05"));
    EXPECT_EQ(DateText(QDate(999, 1, 2)), QStringLiteral("0999/01/02"));
    EXPECT_LT(DateText(QDate(2024, 2, 29)), DateText(QDate(2024, 3, 1)));
    EXPECT_GT(kNotReturned, DateText(QDate(9999, 12, 31)));
    EXPECT_EQ(ReadDate(QStringLiteral("2024/02/29")), QDate(2024, 2, 29));
}
