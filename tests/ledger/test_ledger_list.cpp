// The load sequence and the contents of the list: columns, cells, row numbers, record keys.
#include <QHeaderView>
#include <QTableView>

#include "ledger_fixture.h"
#include "twips.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

// Notes what the window had done when the keyboard switch came.
class WatchingPlatform : public test::FakePlatform {
public:
    bool connectionAtSwitch = true;
    bool switchKeyboardLayout(const QString& language) override
    {
        connectionAtSwitch = store::MData::Conn != nullptr;
        return test::FakePlatform::switchKeyboardLayout(language);
    }
};

class LedgerListTest : public LedgerFixture {};

TEST_F(LedgerListTest, LoadSwitchesKeyboardFirstRefreshesDurationsBeforeListingAndEndsWithLibraryName)
{
    WatchingPlatform watch; // stands in for the fixture's double during this test
    watch.folder = dir.path();
    watch.todayValue = QDate(2024, 3, 10);
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"كتاب", "مؤلف", "مستعير", "2024/03/01", kOut, "نص قديم"},
                                      {"ألف", "باء", "جيم", "2024/03/10", kOut, ""}},
                                     QStringLiteral("دار الكتب")));
    window = std::make_unique<FrmMain>();
    window->Form_Load();

    EXPECT_EQ(watch.keyboardSwitches, QStringList{QStringLiteral("ar")});
    EXPECT_FALSE(watch.connectionAtSwitch) << "the keyboard switches before the database opens";
    // The durations were rewritten in the file before the list read them.
    EXPECT_EQ(test::Query(path, "SELECT TimeLoan FROM TableBook ORDER BY ID"),
              (QStringList{QStringLiteral("9 أيام "), QStringLiteral("اليوم تم إعارة الكتاب")}));
    EXPECT_EQ(window->model->CellText(1, ColTimeLoan), QStringLiteral("9 أيام"));
    EXPECT_EQ(window->TxtNameLibrary->text(), QStringLiteral("دار الكتب"));
    // The last step leaves the settings read open.
    ASSERT_TRUE(store::MData::Rs && store::MData::Rs->IsOpen());
    EXPECT_EQ(store::MData::Rs->FieldNames(), QStringList{QStringLiteral("NameLibrary")});
    window.reset();
}

TEST_F(LedgerListTest, ColumnsHaveTheirKeysCaptionsWidthsAndAlignment)
{
    FrmMain& w = load({});
    struct Expected {
        const char* key;
        QString caption;
        int twips;
        Qt::Alignment alignment;
    };
    const Expected expected[] = {
        {"Nnmber", QString(), 300, Qt::AlignLeft},
        {"NameBook", QStringLiteral("اسم الكتاب"), 1800, Qt::AlignHCenter},
        {"NameWriter", QStringLiteral("اسم المؤلف"), 1600, Qt::AlignHCenter},
        {"NameBorrower", QStringLiteral("اسم المستعير"), 1600, Qt::AlignHCenter},
        {"DateLoan", QStringLiteral("تاريخ الإعارة"), 1380, Qt::AlignHCenter},
        {"DateReturn", QStringLiteral("تاريخ الرد"), 1380, Qt::AlignHCenter},
        {"TimeLoan", QStringLiteral("مدة الإعارة"), 2300, Qt::AlignHCenter},
    };
    ASSERT_EQ(w.model->columnCount(), 7);
    for (int c = 0; c < 7; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(ColumnAt(c).key, QLatin1String(expected[c].key));
        EXPECT_EQ(w.model->headerData(c, Qt::Horizontal).toString(), expected[c].caption);
        EXPECT_EQ(w.lvwRoom->horizontalHeader()->sectionSize(c), chrome::tw(expected[c].twips));
        const auto align =
            w.model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(align & Qt::AlignHorizontal_Mask, expected[c].alignment);
    }
    // Mirrored: the number column stands at the right edge.
    EXPECT_EQ(w.lvwRoom->layoutDirection(), Qt::RightToLeft);
    const QHeaderView* h = w.lvwRoom->horizontalHeader();
    EXPECT_GT(h->sectionViewportPosition(0), h->sectionViewportPosition(1));
    EXPECT_TRUE(w.lvwRoom->showGrid());
    EXPECT_EQ(w.lvwRoom->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(w.lvwRoom->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(w.lvwRoom->verticalHeader()->isVisible());
}

TEST_F(LedgerListTest, CellsAreTrimmedDatesShownAsYearMonthDayAndRowsNumberedInTitleBorrowerOrder)
{
    FrmMain& w = load({{"  ب كتاب  ", " مؤلف ب ", "  سعيد", "2024/3/5 ", "  " + kOut + " ", ""},
                       {"أ كتاب", "مؤلف أ", "هدى", " 2024/01/02", "2024/02/01  ", ""},
                       {"أ كتاب", "مؤلف أ", "بكر", "2023/12/31", "2024/01/31", ""}});
    ASSERT_EQ(w.model->rowCount(), 3);
    // The order is that of the stored titles, leading blanks and all.
    const QStringList expected[] = {
        {"1", "ب كتاب", "مؤلف ب", "سعيد", "2024/03/05", kOut, "5 أيام"},
        {"2", "أ كتاب", "مؤلف أ", "بكر", "2023/12/31", "2024/01/31", "1 شهراً"},
        {"3", "أ كتاب", "مؤلف أ", "هدى", "2024/01/02", "2024/02/01", "30 يوماً"},
    };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 7; ++c)
            EXPECT_EQ(w.model->CellText(r, c), expected[r][c]) << r << ',' << c;
    // Each row keeps the key of its own record, not its position.
    const QStringList ids = test::Query(path, "SELECT ID FROM TableBook ORDER BY NameBook, NameBorrower");
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(QString::number(w.model->IdAt(r)), ids[r]);
    EXPECT_EQ(w.model->data(w.model->index(0, ColNumber)).toString(), QStringLiteral("1"));
}

TEST_F(LedgerListTest, DamagedStoredValuesAreShownAsTheyAreWithoutCrashing)
{
    FrmMain& w = load({{"كتاب", "مؤلف", "مستعير", "غير معروف", "2024/13/45", "x"},
                       {QString(), QString(), QString(), QString(), QString(), QString()}});
    ASSERT_EQ(w.model->rowCount(), 2);
    // A null title sorts first.
    EXPECT_EQ(w.model->CellText(0, ColNameBook), QString());
    EXPECT_EQ(w.model->CellText(1, ColDateLoan), QStringLiteral("غير معروف"));
    EXPECT_EQ(w.model->CellText(1, ColDateReturn), QStringLiteral("2024/13/45"));
    EXPECT_EQ(w.model->CellText(1, ColTimeLoan), kInputError);
}

TEST_F(LedgerListTest, RowNumbersRunPastTheOldSixteenBitLimit)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    ASSERT_TRUE(test::FillBooks(path, 33000));
    window = std::make_unique<FrmMain>();
    window->Form_Load();
    ASSERT_EQ(window->model->rowCount(), 33000);
    EXPECT_EQ(window->model->CellText(32767, ColNumber), QStringLiteral("32768"));
    EXPECT_EQ(window->model->CellText(32999, ColNumber), QStringLiteral("33000"));
    // The number column widens so that five digits stay readable.
    const int digits = window->lvwRoom->fontMetrics().horizontalAdvance(QStringLiteral("33000"));
    EXPECT_GT(window->lvwRoom->horizontalHeader()->sectionSize(ColNumber), digits);
}

TEST_F(LedgerListTest, RefreshListviewAppendsToWhatTheListHolds)
{
    FrmMain& w = load({{"كتاب", "مؤلف", "مستعير", "2024/03/01", kOut, ""}});
    w.RefreshListview();
    ASSERT_EQ(w.model->rowCount(), 2);
    EXPECT_EQ(w.model->CellText(1, ColNumber), QStringLiteral("2"));
    w.model->Clear();
    w.RefreshListview();
    EXPECT_EQ(w.model->rowCount(), 1);
}

} // namespace
