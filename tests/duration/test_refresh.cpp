#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include "database.h"
#include "database_test.h"
#include "loan_duration.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::store;

namespace {

class RefreshTest : public test::DatabaseTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DatabaseTest::SetUp());
        fake.todayValue = QDate(2024, 3, 20);
    }
    bool refresh()
    {
        MData::OpenDatabase();
        Recordset& rs = MData::NewRs();
        if (!rs.Open(sql::kAllBooks, MData::Conn)) return false;
        return duration::RefreshTimeLoan(*MData::Conn, rs, platform().today());
    }
};

// Every row, its values quoted by the engine (types and nulls show).
const QString kWholeTable = QStringLiteral(
    "SELECT quote(ID)||quote(NameBook)||quote(NameWriter)||quote(NameBorrower)||quote(DateLoan)||"
    "quote(DateReturn)||quote(TimeLoan) FROM TableBook ORDER BY ID");

// What writing every row gives: each TimeLoan replaced by the text of its dates.
void rewriteEveryRow(const QString& file, const QDate& today)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &db);
    sqlite3_key(db, test::kTestPassword.toUtf8().constData(), int(test::kTestPassword.toUtf8().size()));
    sqlite3_stmt* read = nullptr;
    sqlite3_stmt* write = nullptr;
    sqlite3_prepare_v2(db, "SELECT _rowid_, DateLoan, DateReturn FROM TableBook", -1, &read, nullptr);
    sqlite3_prepare_v2(db, "UPDATE TableBook SET TimeLoan=? WHERE _rowid_=?", -1, &write, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    while (sqlite3_step(read) == SQLITE_ROW) {
        auto text = [read](int c) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(read, c)));
        };
        const QByteArray t = duration::GetTimeLoan(text(1), text(2), today).toUtf8();
        sqlite3_bind_text(write, 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(write, 2, sqlite3_column_int64(read, 0));
        sqlite3_step(write);
        sqlite3_reset(write);
    }
    sqlite3_finalize(read);
    sqlite3_finalize(write);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// The shared connection, counting the transactions the pass starts.
struct CountingConnection {
    Connection& conn;
    int begun = 0;
    bool BeginTrans() { return ++begun, conn.BeginTrans(); }
    bool CommitTrans() { return conn.CommitTrans(); }
    void RollbackTrans() { conn.RollbackTrans(); }
};

} // namespace

TEST_F(RefreshTest, LeavesTheFileAsARewriteOfEveryRowWouldOnStaleAndCurrentLedgers)
{
    const QDate today = fake.todayValue;
    QRandomGenerator random(15);
    for (int ledger = 0; ledger < 3; ++ledger) {
        std::vector<test::BookRow> rows;
        for (int i = 0; i < 300; ++i) {
            const QDate loan = today.addDays(int(random.bounded(-2000, 40)));
            QString back = duration::DateText(loan.addDays(int(random.bounded(-5, 900))));
            const int kind = int(random.bounded(6));
            if (kind == 0) back = QStringLiteral(" لم يرد بعد ");
            if (kind == 1) back = duration::kNotReturned;
            if (kind == 2) back = QStringLiteral("2024/2/30");
            const QString loanText =
                random.bounded(8) == 0
                    ? QStringLiteral("%1/%2/%3").arg(loan.year() % 100).arg(loan.month()).arg(loan.day())
                    : duration::DateText(loan);
            const QString current = duration::GetTimeLoan(loanText, back, today);
            // Current, stale, null, empty, or current but for a blank.
            const QString stored[] = {current,
                                      current,
                                      QStringLiteral("قديم"),
                                      QString(),
                                      QStringLiteral(""),
                                      current + QLatin1Char(' ')};
            rows.push_back({QStringLiteral("كتاب %1").arg(i), QStringLiteral("مؤلف"),
                            QStringLiteral("مستعير"), loanText, back, stored[random.bounded(6)]});
        }
        ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword, rows));
        const QString copy = dir.filePath(QStringLiteral("rewritten.mdb"));
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(path, copy));
        rewriteEveryRow(copy, today);

        ASSERT_TRUE(refresh());
        EXPECT_EQ(test::Query(path, kWholeTable), test::Query(copy, kWholeTable)) << "ledger " << ledger;
        MData::Rs.reset();
        MData::Conn.reset();
        ReleasePooledHandles();
    }
}

TEST_F(RefreshTest, ALedgerWhoseTextsAreCurrentIsNotWrittenAtAll)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"أ", "ب", "ج", "2024/03/01", "لم يرد بعد", "يومان "},
                                      {"د", "ه", "و", "2024/03/10", "2024/03/12", "قديم"}}));
    ASSERT_TRUE(refresh());
    // Another program now holds the write lock: a pass with nothing to write must not need it.
    test::WriteLock lock(path);
    ASSERT_TRUE(lock.held());
    MData::OpenDatabase();
    Recordset& rs = MData::NewRs();
    ASSERT_TRUE(rs.Open(sql::kAllBooks, MData::Conn));
    CountingConnection counting{*MData::Conn};
    EXPECT_TRUE(duration::RefreshTimeLoan(counting, rs, platform().today()));
    EXPECT_EQ(counting.begun, 0);
}

TEST_F(RefreshTest, RewritesEveryRowFromItsDatesAndToday)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"أ", "ب", "ج", "2024/03/20", "لم يرد بعد", "قديم"},
                                      {"د", "ه", "و", "2024/03/10", "2024/03/12", "قديم"},
                                      {"ز", "ح", "ط", "2024/03/25", " لم يرد بعد ", "قديم"},
                                      {"ي", "ك", "ل", "2024/13/45", "لم يرد بعد", "قديم"},
                                      {"م", "ن", "س", QString(), QString(), QString()}}));
    ASSERT_TRUE(refresh());
    EXPECT_EQ(test::Query(path, "SELECT TimeLoan FROM TableBook ORDER BY ID"),
              QStringList({duration::kLentToday, QStringLiteral("يومان "), duration::kInputError,
                           duration::kInputError, duration::kInputError}));
    EXPECT_TRUE(fake.messages.isEmpty());
}

TEST_F(RefreshTest, AnEmptyTableIsFine)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    EXPECT_TRUE(refresh());
}

TEST_F(RefreshTest, AFailedWriteLeavesEveryRowAsItWas)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"أ", "ب", "ج", "2024/03/01", "لم يرد بعد", "قديم"},
                                      {"د", "ه", "و", "2024/03/10", "2024/03/12", "قديم"}}));
    {
        test::WriteLock lock(path);
        ASSERT_TRUE(lock.held());
        EXPECT_FALSE(refresh());
    }
    EXPECT_EQ(test::Query(path, "SELECT TimeLoan FROM TableBook"), QStringList({"قديم", "قديم"}));
}
