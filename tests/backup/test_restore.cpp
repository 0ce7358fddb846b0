// Restoring a backup: the current ledger is saved first, the chosen file replaces it whole, and a
// failure or a kill at any step leaves the ledger as it was.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "backup_check.h"
#include "backup_fixture.h"
#include "database.h"
#include "mdata.h"

using namespace pelorin;
using namespace pelorin::backup;

namespace {

class RestoreTest : public test::BackupTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(BackupTest::SetUp());
        chosen = takeBackup();
        oldRows = test::Dump(chosen);
        // The ledger moves on after the backup: a loan deleted, another added.
        test::Query(path,
                    QStringLiteral("DELETE FROM TableBook WHERE ID = 1; INSERT INTO TableBook (NameBook, "
                                   "NameBorrower) VALUES ('الجديد', 'هند')"));
        newRows = test::Dump(path);
        fake.timeValue = fake.timeValue.addSecs(60);
    }
    QString chosen, oldRows, newRows;
};

TEST_F(RestoreTest, SavesTheCurrentLedgerFirstThenPutsTheChosenOneInItsPlace)
{
    store::MData::OpenDatabase();
    QStringList steps;
    SetRestoreHook([&](RestoreStage stage, const QString& temp) {
        steps << QString::number(int(stage));
        if (stage == RestoreStage::Saved) {
            // The ledger is still the current one, and a backup of it is already there.
            EXPECT_EQ(test::Dump(path), newRows);
            EXPECT_EQ(test::Dump(ListBackups().first().path), newRows);
            EXPECT_FALSE(QFile::exists(temp));
        }
    });
    const Outcome o = RestoreBackup(chosen);
    ASSERT_TRUE(o.ok) << o.reason.toStdString();
    EXPECT_EQ(steps, (QStringList{"0", "1", "2"}));
    EXPECT_EQ(test::Dump(path), oldRows);
    EXPECT_EQ(test::Dump(o.path), newRows);
    EXPECT_FALSE(QFile::exists(RestoreTempPath()));
    // The program opens the restored file afresh.
    store::MData::OpenDatabase();
    store::Recordset& rs = store::MData::NewRs();
    ASSERT_TRUE(rs.Open(store::sql::kAllBooks, store::MData::Conn));
    EXPECT_EQ(rs.RecordCount(), 2);
}

// A fault at each step: the ledger stays byte for byte, and no temporary file is left.
TEST_F(RestoreTest, AFailureAtAnyStepLeavesTheLedgerAsItWas)
{
    struct Fault {
        const char* name;
        std::function<void()> before;
        RestoreStage stage;
        std::function<void(const QString&)> inject;
    };
    const auto none = [](const QString&) {};
    const Fault faults[] = {
        {"damagedChoice", [&] { QFile::resize(chosen, 5000); }, RestoreStage::Saved, none},
        {"cannotSaveCurrent",
         [&] {
             QDir(folder()).rename(QFileInfo(chosen).fileName(), QStringLiteral("../chosen.mdb"));
             chosen = dir.filePath(QStringLiteral("chosen.mdb"));
             QDir(folder()).removeRecursively();
             QFile f(folder());
             f.open(QIODevice::WriteOnly);
         },
         RestoreStage::Saved, none},
        {"garbledCopy", [] {}, RestoreStage::Copied, [](const QString& t) { QFile::resize(t, 4096); }},
        {"copyGone", [] {}, RestoreStage::Verified, [](const QString& t) { QFile::remove(t); }},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        const QByteArray before = test::Bytes(path);
        f.before();
        SetRestoreHook([&](RestoreStage stage, const QString& temp) {
            if (stage == f.stage) f.inject(temp);
        });
        const Outcome o = RestoreBackup(chosen);
        EXPECT_FALSE(o.ok);
        EXPECT_FALSE(o.reason.isEmpty());
        EXPECT_EQ(test::Bytes(path), before);
        EXPECT_FALSE(QFile::exists(RestoreTempPath()));
    }
}

TEST_F(RestoreTest, AMissingLedgerIsReplacedAndADamagedOneIsKeptByteForByte)
{
    QFile::remove(path);
    Outcome o = RestoreBackup(chosen);
    ASSERT_TRUE(o.ok) << o.reason.toStdString();
    EXPECT_TRUE(o.path.isEmpty());
    EXPECT_EQ(test::Dump(path), oldRows);

    QFile::resize(path, 3000);
    const QByteArray damaged = test::Bytes(path);
    fake.timeValue = fake.timeValue.addSecs(60);
    o = RestoreBackup(chosen);
    ASSERT_TRUE(o.ok) << o.reason.toStdString();
    EXPECT_EQ(test::Bytes(o.path), damaged);
    EXPECT_EQ(test::Dump(path), oldRows);
}

// The program killed in the middle of a backup or a restore: the ledger opens and holds the old
// or the new rows, never a mix, and what the killed run left behind stops nothing later.
TEST_F(RestoreTest, AKillAtAnyStepLeavesAWholeLedger)
{
    struct Kill {
        bool restore;
        int stage;
    };
    const Kill kills[] = {{false, int(BackupStage::Written)},
                          {false, int(BackupStage::Verified)},
                          {true, int(RestoreStage::Saved)},
                          {true, int(RestoreStage::Copied)},
                          {true, int(RestoreStage::Verified)}};
    for (const Kill& k : kills) {
        SCOPED_TRACE(testing::Message() << (k.restore ? "restore " : "backup ") << k.stage);
        // A handle of this process on the ledger would be another program's to the child.
        store::ReleasePooledHandles();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SetBackupHook([&](BackupStage s, const QString&) {
                if (!k.restore && int(s) == k.stage) ::raise(SIGKILL);
            });
            SetRestoreHook([&](RestoreStage s, const QString&) {
                if (k.restore && int(s) == k.stage) ::raise(SIGKILL);
            });
            k.restore ? RestoreBackup(chosen) : TakeBackup();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        const QString rows = test::Dump(path);
        EXPECT_TRUE(rows == newRows || rows == oldRows) << rows.toStdString();
        EXPECT_TRUE(Checker(store::MData::DbPassword).check(path).sound);
        fake.timeValue = fake.timeValue.addSecs(1);
    }
    EXPECT_TRUE(QFile::exists(RestoreTempPath()));
    EXPECT_TRUE(TakeBackup().ok);
    const Outcome o = RestoreBackup(chosen);
    ASSERT_TRUE(o.ok) << o.reason.toStdString();
    EXPECT_EQ(test::Dump(path), oldRows);
    EXPECT_FALSE(QFile::exists(RestoreTempPath()));
    EXPECT_FALSE(QFile::exists(BackupTempPath()));
}

} // namespace
