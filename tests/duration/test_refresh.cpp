#include <QFile>

#include <gtest/gtest.h>

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

} // namespace

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
