// Taking backups, telling sound ones from damaged or foreign ones, and which ones are kept.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "auto_backup.h"
#include "backup_check.h"
#include "backup_fixture.h"
#include "mdata.h"

using namespace pelorin;
using namespace pelorin::backup;

namespace {

class TakeBackupTest : public test::BackupTest {};

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

BackupFile at(const char* when)
{
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(when), QStringLiteral("yyyy-MM-dd HH:mm"));
    return {BackupName(t), t};
}

TEST(BackupNames, CarryTheTimeAndNothingElseIsTakenForABackup)
{
    const QDateTime t(QDate(2024, 3, 10), QTime(9, 5, 7));
    EXPECT_EQ(BackupName(t), QStringLiteral("DataBook-20240310-090507.mdb"));
    EXPECT_EQ(BackupTime(BackupName(t, 2)), t);
    for (const char* other : {"DataBook.mdb", "DataBook.mdb.writing", "DataBook-20240310-090507.mdb-journal",
                              "DataBook-20241310-090507.mdb", "DataBook-2024031-090507.mdb", "x.mdb"})
        EXPECT_FALSE(BackupTime(QString::fromLatin1(other)).isValid()) << other;
}

TEST(PruningRule, KeepsTheNewestFourteenAndTheNewestOfEachOfTwelveMonths)
{
    QVector<BackupFile> all;
    for (int day = 1; day <= 16; ++day)
        all << at(qPrintable(QStringLiteral("2024-03-%1 10:00").arg(day, 2, 10, QLatin1Char('0'))));
    all << at("2024-02-10 10:00") << at("2024-02-20 08:00") << at("2024-02-20 07:00") // February
        << at("2023-04-05 10:00")  // twelve months back, counting March 2024
        << at("2023-03-28 10:00"); // thirteen
    QStringList pruned;
    for (const BackupFile& b : ToPrune(all, QDate(2024, 3, 16)))
        pruned << b.at.toString(QStringLiteral("yyyy-MM-dd HH"));
    pruned.sort();
    EXPECT_EQ(pruned, (QStringList{"2023-03-28 10", "2024-02-10 10", "2024-02-20 07", "2024-03-01 10",
                                   "2024-03-02 10"}));
    EXPECT_TRUE(ToPrune(all.mid(0, kKeepNewest), QDate(2030, 1, 1)).isEmpty());
}

TEST_F(TakeBackupTest, WritesAKeyedVerifiedCopyForTheOwnerOnly)
{
    const QString b = takeBackup();
    EXPECT_EQ(b, folder() + QStringLiteral("/DataBook-20240310-093000.mdb"));
    EXPECT_EQ(test::Dump(b), test::Dump(path));
    EXPECT_TRUE(test::Query(b, QStringLiteral("SELECT count(*) FROM sqlite_master"), QString()).value(0).startsWith("<error>"));
    EXPECT_EQ(modeOf(folder()), 0700u);
    EXPECT_EQ(modeOf(b), 0600u);
    // A second one within the same second does not replace the first.
    EXPECT_EQ(takeBackup(), folder() + QStringLiteral("/DataBook-20240310-093000-1.mdb"));
    EXPECT_EQ(backupNames().size(), 2);
    EXPECT_FALSE(QFile::exists(BackupTempPath()));
}

TEST_F(TakeBackupTest, PrunesOnlyAfterAGoodBackup)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    for (int day = 1; day <= 20; ++day)
        QFile::copy(path,
                    folder() +
                        QStringLiteral("/DataBook-202402%1-120000.mdb").arg(day, 2, 10, QLatin1Char('0')));
    const QStringList before = backupNames();
    // The copy is damaged on its way: the backup fails and every older one stays.
    SetBackupHook([](BackupStage stage, const QString& temp) {
        if (stage == BackupStage::Written) QFile::resize(temp, 5000);
    });
    const Outcome failed = TakeBackup();
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.reason.isEmpty());
    EXPECT_EQ(backupNames(), before);
    EXPECT_FALSE(QFile::exists(BackupTempPath()));

    SetBackupHook({});
    takeBackup();
    // The new one and the 13 newest of February, the newest of February among them.
    EXPECT_EQ(backupNames().size(), kKeepNewest);
    EXPECT_EQ(backupNames().first(), QStringLiteral("DataBook-20240310-093000.mdb"));
    EXPECT_EQ(backupNames().last(), QStringLiteral("DataBook-20240208-120000.mdb"));
}

TEST_F(TakeBackupTest, AFailureSaysWhyAndAStaleTemporaryFileDoesNotStopTheNext)
{
    // A file where the folder should be: the system's reason comes under ours.
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Outcome o = TakeBackup();
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.reason.contains(QStringLiteral("مجلد النسخ الاحتياطية"))) << o.reason.toStdString();
    EXPECT_GT(o.reason.split(QLatin1Char('\n')).size(), 1);
    QFile::remove(folder());

    ASSERT_TRUE(QDir().mkpath(folder()));
    QFile stale(BackupTempPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray(3000, 'x'));
    stale.close();
    takeBackup();
    EXPECT_FALSE(QFile::exists(BackupTempPath()));
}

// Sound, damaged and foreign files, told apart by the check that guards restores.
TEST_F(TakeBackupTest, TheCheckRefusesDamagedAndForeignFiles)
{
    const QString sound = takeBackup();
    auto make = [&](const QString& name, const std::function<void(const QString&)>& spoil) {
        const QString f = dir.filePath(name);
        QFile::copy(sound, f);
        spoil(f);
        return f;
    };
    const QString files[] = {
        make("garbled",
             [](const QString& f) {
                 QFile file(f);
                 file.open(QIODevice::ReadWrite);
                 file.seek(file.size() - 3000);
                 file.write(QByteArray(2000, '\x5a'));
             }),
        make("truncated", [](const QString& f) { QFile::resize(f, 4096 + 100); }),
        make("empty", [](const QString& f) { QFile::resize(f, 0); }),
        make("unprotected", [](const QString& f) { test::CreateDatabase(f, QString()); }),
        make("otherKey", [](const QString& f) { test::CreateDatabase(f, QStringLiteral("another.key")); }),
        make("noTables",
             [](const QString& f) {
                 test::CreateDatabase(f);
                 test::Query(f, QStringLiteral("DROP TABLE TableBook"));
             }),
    };
    Checker checker(store::MData::DbPassword);
    const FileCheck good = checker.check(sound);
    EXPECT_TRUE(good.sound);
    EXPECT_EQ(good.loans, 2);
    EXPECT_EQ(good.libraryName, QStringLiteral("مكتبتي"));
    for (const QString& f : files) {
        const FileCheck c = checker.check(f);
        EXPECT_FALSE(c.sound) << f.toStdString();
        EXPECT_FALSE(c.reason.isEmpty()) << f.toStdString();
    }
}

TEST_F(TakeBackupTest, AutomaticBackupsComeOncePerDayAndWarnOncePerSession)
{
    AutoBackup session;
    EXPECT_TRUE(session.beforeChange().isEmpty());
    EXPECT_TRUE(session.beforeChange().isEmpty());
    EXPECT_EQ(backupNames().size(), 1);
    // Another session the same day finds the day's backup taken.
    AutoBackup later;
    EXPECT_TRUE(later.beforeChange().isEmpty());
    EXPECT_EQ(backupNames().size(), 1);
    // Every compaction has its own.
    EXPECT_TRUE(later.beforeCompaction().isEmpty());
    EXPECT_EQ(backupNames().size(), 2);

    fake.todayValue = fake.todayValue.addDays(1);
    ASSERT_TRUE(QDir(folder()).removeRecursively());
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const QString warning = session.beforeChange();
    EXPECT_TRUE(warning.startsWith(QStringLiteral("تعذر حفظ نسخة احتياطية"))) << warning.toStdString();
    EXPECT_TRUE(session.beforeChange().isEmpty());
    EXPECT_TRUE(session.beforeCompaction().isEmpty());
}

} // namespace
