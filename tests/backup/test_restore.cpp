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
        test::Query(
            path,
            QStringLiteral(
                "DELETE FROM TableBook WHERE ID = 1; INSERT INTO TableBook (NameBook) VALUES ('جديد')"));
        newRows = test::Dump(path);
        fake.timeValue = fake.timeValue.addSecs(60);
    }
    QString chosen, oldRows, newRows;
};

TEST_F(RestoreTest, SavesTheCurrentLedgerFirstThenPutsTheChosenOneInItsPlace)
{
    store::MData::OpenDatabase();
    QStringList steps;
    SetRestoreHook([&](RestoreStage stage, const QString&) {
        steps << QString::number(int(stage));
        // Once saved, the ledger is still the current one and a backup of it is there.
        if (stage == RestoreStage::Saved) {
            EXPECT_EQ(test::Dump(path) + test::Dump(ListBackups().first().path), newRows + newRows);
        }
    });
    const Outcome o = RestoreBackup(chosen);
    ASSERT_TRUE(o.ok) << o.reason.toStdString();
    EXPECT_EQ(steps, (QStringList{"0", "1", "2"}));
    EXPECT_EQ(test::Dump(path), oldRows);
    EXPECT_EQ(test::Dump(o.path), newRows);
    EXPECT_FALSE(QFile::exists(RestoreTempPath()));
    store::MData::OpenDatabase(); // the program opens the restored file afresh
    ASSERT_TRUE(store::MData::NewRs().Open(store::sql::kAllBooks, store::MData::Conn));
    EXPECT_EQ(store::MData::Rs->RecordCount(), 2);

    // A missing ledger is simply replaced; a damaged one is kept byte for byte.
    SetRestoreHook({});
    QFile::resize(path, 3000);
    const QByteArray damaged = test::Bytes(path);
    const Outcome again = RestoreBackup(chosen);
    ASSERT_TRUE(again.ok) << again.reason.toStdString();
    EXPECT_EQ(test::Bytes(again.path), damaged);
    QFile::remove(path);
    EXPECT_TRUE(RestoreBackup(chosen).path.isEmpty());
    EXPECT_EQ(test::Dump(path), oldRows);
}

// A fault at each step: the ledger stays byte for byte, and no temporary file is left.
TEST_F(RestoreTest, AFailureAtAnyStepLeavesTheLedgerAsItWas)
{
    const auto none = [](const QString&) {};
    const auto moveChoiceOut = [&] {
        const QString kept = dir.filePath(QStringLiteral("chosen.mdb"));
        QFile::rename(chosen, kept);
        chosen = kept;
        QDir(folder()).removeRecursively();
        QFile blocker(folder()); // the current ledger cannot be saved
        blocker.open(QIODevice::WriteOnly);
    };
    const std::tuple<const char*, std::function<void()>, RestoreStage, std::function<void(const QString&)>>
        faults[] = {
            {"damagedChoice", [&] { QFile::resize(chosen, 5000); }, RestoreStage::Saved, none},
            {"currentNotSaved", moveChoiceOut, RestoreStage::Saved, none},
            {"garbledCopy", [] {}, RestoreStage::Copied, [](const QString& t) { QFile::resize(t, 4096); }},
            {"copyGone", [] {}, RestoreStage::Verified, [](const QString& t) { QFile::remove(t); }},
            // Last: the platform goes on finding the ledger open in another program.
            {"openElsewhere", [&] { fake.filesOpenElsewhere << LedgerPath(); }, RestoreStage::Saved, none},
        };
    for (const auto& [name, before, stage, inject] : faults) {
        SCOPED_TRACE(name);
        const QByteArray ledger = test::Bytes(path);
        before();
        SetRestoreHook([&, stage = stage, inject = inject](RestoreStage s, const QString& temp) {
            if (s == stage) inject(temp);
        });
        const Outcome o = RestoreBackup(chosen);
        EXPECT_FALSE(o.ok);
        EXPECT_FALSE(o.reason.isEmpty());
        EXPECT_EQ(test::Bytes(path), ledger);
        EXPECT_FALSE(QFile::exists(RestoreTempPath()));
    }
}

// The program killed in the middle of a backup or a restore: the ledger opens and holds the old
// or the new rows, never a mix, and what the killed run left behind stops nothing later.
TEST_F(RestoreTest, AKillAtAnyStepLeavesAWholeLedger)
{
    for (const auto& [restore, stage] : {std::pair{false, 0}, {false, 1}, {true, 0}, {true, 1}, {true, 2}}) {
        SCOPED_TRACE(testing::Message() << (restore ? "restore " : "backup ") << stage);
        store::ReleasePooledHandles(); // to the child, a handle of this process is another program's
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const bool r = restore;
            const int s = stage;
            SetBackupHook([=](BackupStage at, const QString&) {
                if (!r && int(at) == s) ::raise(SIGKILL);
            });
            SetRestoreHook([=](RestoreStage at, const QString&) {
                if (r && int(at) == s) ::raise(SIGKILL);
            });
            r ? RestoreBackup(chosen) : TakeBackup();
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
    EXPECT_TRUE(TakeBackup().ok);
    EXPECT_TRUE(RestoreBackup(chosen).ok);
    EXPECT_EQ(test::Dump(path), oldRows);
    EXPECT_FALSE(QFile::exists(RestoreTempPath()) || QFile::exists(BackupTempPath()));
}

} // namespace
