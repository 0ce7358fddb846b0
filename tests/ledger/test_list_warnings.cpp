// The warning colours and tool tips of the date and duration cells, taken straight from the
// stored values (no duration pass), so that stale and damaged texts can be set up at will.
#include "ledger_fixture.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

enum Paint { None, Red, Purple };
const QString kNoTip;

struct Cell {
    Paint paint;
    QString tip;
};

struct WarningCase {
    const char* name;
    QString loan, back, time;
    Cell loanCell, backCell, timeCell;
};

void PrintTo(const WarningCase& c, std::ostream* os)
{
    *os << c.name;
}

const QString kPhrase = QStringLiteral("5 أيام ");

const WarningCase kCases[] = {
    {"plain returned loan",
     "2024/01/01",
     "2024/02/01",
     kPhrase,
     {None, kNoTip},
     {None, kNoTip},
     {None, kNoTip}},
    {"still out", "2024/01/01", kOut, kPhrase, {None, kNoTip}, {Purple, tips::kNotReturned}, {None, kNoTip}},
    {"still out, marker with blanks",
     "2024/01/01",
     "  " + kOut + " ",
     kPhrase,
     {None, kNoTip},
     {Purple, tips::kNotReturned},
     {None, kNoTip}},
    {"input error, returned before lent",
     "2024/03/05",
     "2024/03/01",
     kInputError,
     {None, kNoTip},
     {Red, tips::kReturnBeforeLoan},
     {Red, tips::kReturnBeforeLoan}},
    // The return cell keeps the purple of the first rule: the second rule marks the loan date.
    {"input error, still out, lent in the future",
     "2024/04/01",
     kOut,
     kInputError,
     {Red, tips::kLoanNotYetOut},
     {Purple, tips::kNotReturned},
     {Red, tips::kLoanNotYetOut}},
    {"lent tomorrow, back the day after",
     "2024/03/11",
     "2024/03/12",
     QStringLiteral("1 يوماً "),
     {Red, tips::kLoanInFuture},
     {Red, tips::kReturnInFuture},
     {None, kNoTip}},
    {"back in the future only",
     "2024/03/01",
     "2024/03/20",
     kPhrase,
     {None, kNoTip},
     {Red, tips::kReturnInFuture},
     {None, kNoTip}},
    {"back today is not the future",
     "2024/03/01",
     "2024/03/10",
     kPhrase,
     {None, kNoTip},
     {None, kNoTip},
     {None, kNoTip}},
    // A stale duration on a loan still out from the future: the third rule overwrites the purple.
    {"still out, lent in the future, stale duration",
     "2024/04/01",
     kOut,
     QStringLiteral("قديم"),
     {Red, tips::kLoanInFuture},
     {Red, tips::kReturnInFuture},
     {None, kNoTip}},
    {"input error with a future return date",
     "2024/05/01",
     "2024/04/01",
     kInputError,
     {None, kNoTip},
     {Red, tips::kReturnBeforeLoan},
     {Red, tips::kReturnBeforeLoan}},
    // Hand-edited dates compare as their cells show them (yyyy/mm/dd): these are the past.
    {"hand-edited loan date, still out",
     "2024/3/5",
     kOut,
     kPhrase,
     {None, kNoTip},
     {Purple, tips::kNotReturned},
     {None, kNoTip}},
    {"hand-edited dates, returned",
     "2024/03/1",
     "2024/03/5",
     kPhrase,
     {None, kNoTip},
     {None, kNoTip},
     {None, kNoTip}},
    // Shown as 2024/03/11: tomorrow, though its text sorts before today's.
    {"hand-edited loan date in the future",
     "0024/3/11",
     kOut,
     kPhrase,
     {Red, tips::kLoanInFuture},
     {Red, tips::kReturnInFuture},
     {None, kNoTip}},
    // Text that is no date compares as text, character by character; nothing breaks.
    {"unreadable return date",
     "2024/03/01",
     "2024/13/45",
     QStringLiteral("x"),
     {None, kNoTip},
     {Red, tips::kReturnInFuture},
     {None, kNoTip}},
    {"damaged dates",
     "غير معروف",
     "2024/3/5",
     QStringLiteral("x"),
     {Red, tips::kLoanInFuture},
     {Red, tips::kReturnInFuture},
     {None, kNoTip}},
    {"empty dates", "", "", "", {None, kNoTip}, {None, kNoTip}, {None, kNoTip}},
};

class ListWarningsTest : public LedgerFixture, public ::testing::WithParamInterface<WarningCase> {};

QColor colourOf(Paint p)
{
    return p == Red ? kWarningRed : p == Purple ? kNotReturnedPurple : QColor();
}

TEST_P(ListWarningsTest, CellsCarryTheColourAndToolTipOfTheLastRuleThatMatches)
{
    const WarningCase& c = GetParam();
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"كتاب", "مؤلف", "مستعير", c.loan, c.back, c.time}}));
    auto conn = std::make_shared<store::Connection>();
    ASSERT_TRUE(conn->Open(
        QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=%2").arg(path, test::kTestPassword)));
    store::Recordset rs;
    ASSERT_TRUE(rs.Open(store::sql::kAllBooks, conn));

    LedgerModel model;
    model.Append(rs, fake.todayValue);
    ASSERT_EQ(model.rowCount(), 1);
    const std::pair<int, Cell> cells[] = {
        {ColDateLoan, c.loanCell}, {ColDateReturn, c.backCell}, {ColTimeLoan, c.timeCell}};
    for (const auto& [column, cell] : cells) {
        SCOPED_TRACE(column);
        EXPECT_EQ(model.CellColour(0, column), colourOf(cell.paint));
        EXPECT_EQ(model.CellToolTip(0, column), cell.tip);
        // The view reads the same through the model's roles.
        const QModelIndex index = model.index(0, column);
        EXPECT_EQ(model.data(index, Qt::ForegroundRole).value<QColor>(), colourOf(cell.paint));
        EXPECT_EQ(model.data(index, Qt::ToolTipRole).toString(), cell.tip);
    }
    for (int column : {ColNumber, ColNameBook, ColNameWriter, ColNameBorrower}) {
        EXPECT_FALSE(model.data(model.index(0, column), Qt::ForegroundRole).isValid());
        EXPECT_FALSE(model.data(model.index(0, column), Qt::ToolTipRole).isValid());
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, ListWarningsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::to_string(info.index); });

TEST(DateCellText, ReadsAnyYearMonthDaySpellingAndLeavesOtherTextAlone)
{
    EXPECT_EQ(DateCellText(QStringLiteral("2024/03/05")), QStringLiteral("2024/03/05"));
    EXPECT_EQ(DateCellText(QStringLiteral("2024/3/5")), QStringLiteral("2024/03/05"));
    EXPECT_EQ(DateCellText(QStringLiteral("2023/02/29")), QStringLiteral("2023/02/29"));
    // Years below 100 are short years, as the duration reads them.
    EXPECT_EQ(DateCellText(QStringLiteral("24/3/5")), QStringLiteral("2024/03/05"));
    EXPECT_EQ(DateCellText(QStringLiteral("0012/05/03")), QStringLiteral("2012/05/03"));
    EXPECT_EQ(DateCellText(QStringLiteral("0100/05/03")), QStringLiteral("0100/05/03"));
    EXPECT_EQ(DateCellText(kOut), kOut);
    EXPECT_EQ(DateCellText(QString()), QString());
}

} // namespace
