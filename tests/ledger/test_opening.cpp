// The load from the rows a worker thread read while the window was built: the same list, file
// and messages as the load that reads them itself, and a window that shows its progress and
// stays responsive while a long read goes on.
#include <QAction>
#include <QGroupBox>
#include <QProgressBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "ledger_fixture.h"
#include "name_completer.h"
#include "opening.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

class OpeningTest : public LedgerFixture {
protected:
    void TearDown() override
    {
        Opening::Abandon();
        LedgerFixture::TearDown();
    }
    // Rows that put the pieces' order to the test: titles repeated across pieces with their
    // borrowers out of order, texts with blanks around them, dates in other spellings, stale,
    // missing and wrong durations, loans still out.
    static std::vector<test::BookRow> rows()
    {
        std::vector<test::BookRow> out;
        for (int i = 0; i < 150; ++i) {
            const QString title =
                i % 5 == 0 ? QStringLiteral("كتاب مكرر") : QStringLiteral("كتاب %1").arg((i * 37) % 150);
            out.push_back(
                {i % 7 == 0 ? QStringLiteral(" ") + title + QStringLiteral(" ") : title,
                 QStringLiteral("مؤلف %1").arg(i % 4), QStringLiteral("مستعير %1").arg((150 - i) % 9),
                 i % 11 == 0 ? QStringLiteral("2024/3/%1").arg(1 + i % 9)
                             : QStringLiteral("2023/%1/15").arg(1 + i % 12, 2, 10, QLatin1Char('0')),
                 i % 3 == 0 ? kOut : QStringLiteral("2024/02/0%1").arg(1 + i % 9),
                 i % 4 == 0 ? QStringLiteral("قديم") : QString()});
        }
        return out;
    }
    // Every cell of the list with its colour and tool tip, and every duration in the file.
    QStringList snapshot() const
    {
        QStringList out;
        const LedgerModel& m = *window->model;
        for (int r = 0; r < m.rowCount(); ++r)
            for (int c = 0; c < ColumnCount; ++c)
                out << m.CellText(r, c) + u'|' + m.CellColour(r, c).name() + u'|' + m.CellToolTip(r, c);
        out << test::Query(path, QStringLiteral("SELECT ID || ':' || TimeLoan FROM TableBook ORDER BY ID"));
        return out;
    }
    // Loads the rows once by reading them in the window and once from the worker, in small
    // pieces; hold (made after the file is written) lives while each load runs.
    std::pair<QStringList, QStringList> bothWays(const std::function<std::shared_ptr<void>()>& hold = {})
    {
        QStringList seen[2];
        QVector<test::ShownMessage> messages[2];
        for (const bool worker : {false, true}) {
            window.reset();
            store::MData::Conn.reset();
            store::ReleasePooledHandles();
            fake.messages.clear();
            EXPECT_TRUE(test::CreateDatabase(path, test::kTestPassword, rows()));
            {
                const std::shared_ptr<void> held = hold ? hold() : nullptr;
                if (worker) Opening::Start(path, store::MData::kPassword, fake.today(), 7);
                window = std::make_unique<FrmMain>();
                window->Form_Load();
            }
            EXPECT_EQ(window->LoadedAhead(), worker);
            seen[worker] = snapshot();
            messages[worker] = fake.messages;
        }
        EXPECT_EQ(messages[1].size(), messages[0].size());
        for (int i = 0; i < std::min(messages[0].size(), messages[1].size()); ++i)
            EXPECT_EQ(messages[1][i].text, messages[0][i].text);
        return {seen[0], seen[1]};
    }
};

TEST_F(OpeningTest, ReadAheadGivesTheSameListAndFile)
{
    const auto [plain, ahead] = bothWays();
    EXPECT_EQ(ahead, plain);
    EXPECT_FALSE(ahead.contains(QStringLiteral("1:قديم")));
    EXPECT_TRUE(fake.messages.isEmpty());
    // The rows sort in memory afterwards, and the names are offered, as after a load of its own.
    window->lvwRoom_ColumnClick(ColNameBorrower);
    EXPECT_EQ(window->model->rowCount(), 150);
    QCoreApplication::processEvents();
    window->TxtNameBorrower->setFocus();
    for (QChar c : QStringLiteral("مستعير"))
        QTest::sendKeyEvent(QTest::KeyAction::Click, window->TxtNameBorrower, Qt::Key_unknown, QString(c),
                            {});
    EXPECT_EQ(window->BorrowerNames->Offered().size(), 9);
}

TEST_F(OpeningTest, DurationsThatCannotBeSavedSayItAndShowToday)
{
    bool held = true;
    const auto [plain, ahead] = bothWays([&] {
        auto lock = std::make_shared<test::WriteLock>(path);
        held = held && lock->held();
        return lock;
    });
    ASSERT_TRUE(held);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.startsWith(QStringLiteral("تعذر الكتابة في قاعدة البيانات")));
    // Today's durations in the list, the old ones still in the file.
    EXPECT_EQ(ahead, plain);
    EXPECT_TRUE(ahead.contains(QStringLiteral("1:قديم")));
}

// An open of the file before the load (the handle is given at once, not after the read) and a
// start begun the day before the load: the load reads and writes for itself.
TEST_F(OpeningTest, InterruptedReadAheadLeavesTheLoadToItself)
{
    for (const bool dayBefore : {false, true}) {
        ASSERT_TRUE(test::CreateDatabase(path) && test::FillBooks(path, 3000));
        Opening::Start(path, store::MData::kPassword, fake.today().addDays(dayBefore ? -1 : 0), 50);
        if (!dayBefore) store::MData::OpenDatabase();
        window = std::make_unique<FrmMain>();
        window->Form_Load();
        EXPECT_FALSE(window->LoadedAhead()) << dayBefore;
        EXPECT_EQ(window->model->rowCount(), 3000) << dayBefore;
        EXPECT_EQ(test::Query(path, QStringLiteral("SELECT count(*) FROM TableBook WHERE TimeLoan = 'قديم'")),
                  QStringList{QStringLiteral("0")});
        window.reset();
        store::MData::Conn.reset();
        store::ReleasePooledHandles();
    }
}

TEST_F(OpeningTest, ALongReadShowsTheWindowWithItsProgressAndStaysResponsive)
{
    const FrmMain::LoadPace normal = FrmMain::Pace;
    FrmMain::Pace = {0, 0};
    ASSERT_TRUE(test::CreateDatabase(path) && test::FillBooks(path, 3000));
    Opening::Start(path, store::MData::kPassword, fake.today(), 50);
    window = std::make_unique<FrmMain>();
    bool visible = false, progress = false, locked = false, named = false;
    QTimer::singleShot(0, [&] {
        visible = window->isVisible();
        auto* bar = window->findChild<QProgressBar*>(QStringLiteral("LoadProgress"));
        progress = bar && bar->isVisible() && !window->lvwRoom->isVisible();
        locked = !window->FrameEnterData->isEnabled() && !window->actions().first()->isEnabled();
        named = window->TxtNameLibrary->text() == QStringLiteral("مكتبتي");
    });
    window->Form_Load();
    FrmMain::Pace = normal;
    EXPECT_TRUE(window->LoadedAhead());
    EXPECT_TRUE(visible);
    EXPECT_TRUE(progress);
    EXPECT_TRUE(locked);
    EXPECT_TRUE(named);
    EXPECT_EQ(window->model->rowCount(), 3000);
    EXPECT_EQ(window->findChild<QProgressBar*>(QStringLiteral("LoadProgress")), nullptr);
    EXPECT_TRUE(window->lvwRoom->isVisible() && window->FrameEnterData->isEnabled());
    EXPECT_TRUE(window->actions().first()->isEnabled());
}

} // namespace
