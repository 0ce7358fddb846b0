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

class TakeBackupTest : public test::BackupTest {
protected:
    void blockFolder()
    {
        QDir(folder()).removeRecursively();
        QFile f(folder());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)); // a file where the folder should be
    }
};

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

BackupFile at(const QString& when)
{
    const QDateTime t = QDateTime::fromString(when, QStringLiteral("yyyy-MM-dd HH"));
    return {BackupName(t), t};
}

TEST(PruningRule, KeepsTheNewestFourteenAndTheNewestOfEachOfTwelveMonths)
{
    QVector<BackupFile> all;
    for (int day = 1; day <= 16; ++day)
        all << at(QStringLiteral("2024-03-%1 10").arg(day, 2, 10, QLatin1Char('0')));
    all << at("2024-02-10 10") << at("2024-02-20 08") << at("2024-02-20 07")
        << at("2023-04-05 10")  // the twelfth month, counting March 2024
        << at("2023-03-28 10"); // the thirteenth
    QStringList pruned;
    for (const BackupFile& b : ToPrune(all, QDate(2024, 3, 16)))
        pruned << b.at.toString("yyyy-MM-dd HH");
    pruned.sort();
    EXPECT_EQ(pruned, (QStringList{"2023-03-28 10", "2024-02-10 10", "2024-02-20 07", "2024-03-01 10",
                                   "2024-03-02 10"}));
    // Names carry the time; nothing else in the folder is taken for a backup.
    EXPECT_EQ(BackupTime(BackupName(all[0].at, 2)), all[0].at);
    for (const char* other :
         {"DataBook.mdb.writing", "DataBook-20240310-090507.mdb-journal", "DataBook-20241310-090507.mdb"})
        EXPECT_FALSE(BackupTime(QString::fromLatin1(other)).isValid()) << other;
}

TEST_F(TakeBackupTest, WritesAKeyedVerifiedCopyForTheOwnerOnly)
{
    const QString b = takeBackup();
    EXPECT_EQ(b, folder() + QStringLiteral("/DataBook-20240310-093000.mdb"));
    EXPECT_EQ(test::Dump(b), test::Dump(path));
    EXPECT_TRUE(test::Query(b, QStringLiteral("SELECT count(*) FROM sqlite_master"), QString())
                    .value(0)
                    .startsWith("<error>"));
    EXPECT_EQ(modeOf(folder()), 0700u);
    EXPECT_EQ(modeOf(b), 0600u);
    // A second one within the same second does not replace the first.
    EXPECT_EQ(takeBackup(), folder() + QStringLiteral("/DataBook-20240310-093000-1.mdb"));
}

TEST_F(TakeBackupTest, PrunesOnlyAfterAGoodBackup)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    for (int day = 1; day <= 20; ++day)
        QFile::copy(path,
                    folder() +
                        QStringLiteral("/DataBook-202402%1-120000.mdb").arg(day, 2, 10, QLatin1Char('0')));
    // A stale temporary file of a killed run is replaced; a copy damaged on its way fails the
    // check, and every older backup stays.
    QFile::copy(path, BackupTempPath());
    SetBackupHook([](BackupStage stage, const QString& temp) {
        if (stage == BackupStage::Written) QFile::resize(temp, 5000);
    });
    const QStringList before = backupNames();
    const Outcome failed = TakeBackup();
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.reason.startsWith(QStringLiteral("لم تجتز النسخة الاحتياطية الفحص:\n")))
        << failed.reason.toStdString();
    EXPECT_EQ(backupNames(), before);
    EXPECT_FALSE(QFile::exists(BackupTempPath()));

    SetBackupHook({});
    takeBackup();
    // The new one and the 13 newest of February, the newest of February among them.
    EXPECT_EQ(backupNames().size(), kKeepNewest);
    EXPECT_EQ(backupNames().last(), QStringLiteral("DataBook-20240208-120000.mdb"));
}

TEST_F(TakeBackupTest, TheCheckRefusesDamagedAndForeignFiles)
{
    const QString sound = takeBackup();
    const std::pair<const char*, std::function<void(const QString&)>> spoilers[] = {
        {"garbled",
         [](const QString& f) {
             QFile file(f);
             file.open(QIODevice::ReadWrite);
             file.seek(file.size() - 3000);
             file.write(QByteArray(2000, 'Z'));
         }},
        {"truncated", [](const QString& f) { QFile::resize(f, 4196); }},
        {"empty", [](const QString& f) { QFile::resize(f, 0); }},
        {"unprotected", [](const QString& f) { test::CreateDatabase(f, QString()); }},
        {"otherKey", [](const QString& f) { test::CreateDatabase(f, QStringLiteral("another.key")); }},
        {"noLoanTable",
         [](const QString& f) {
             test::CreateDatabase(f);
             test::Query(f, QStringLiteral("DROP TABLE TableBook"));
         }},
    };
    Checker checker(store::MData::DbPassword);
    const FileCheck good = checker.check(sound);
    EXPECT_TRUE(good.sound);
    EXPECT_EQ(good.loans, 2);
    EXPECT_EQ(good.libraryName, QStringLiteral("مكتبتي"));
    for (const auto& [name, spoil] : spoilers) {
        const QString f = dir.filePath(QString::fromLatin1(name));
        QFile::copy(sound, f);
        spoil(f);
        const FileCheck c = checker.check(f);
        EXPECT_FALSE(c.sound) << name;
        EXPECT_FALSE(c.reason.isEmpty()) << name;
    }
}

TEST_F(TakeBackupTest, AutomaticBackupsComeOncePerDayAndAFailureWarnsOncePerSession)
{
    EXPECT_TRUE(AutoBackup().beforeChange().isEmpty());
    AutoBackup session; // a later start the same day finds the day's backup taken
    EXPECT_TRUE(session.beforeChange().isEmpty());
    EXPECT_EQ(backupNames().size(), 1);

    fake.todayValue = fake.todayValue.addDays(1);
    blockFolder();
    const QString warning = session.beforeChange();
    EXPECT_TRUE(warning.startsWith(QStringLiteral("تعذر حفظ نسخة احتياطية"))) << warning.toStdString();
    EXPECT_TRUE(warning.contains(QStringLiteral("مجلد النسخ الاحتياطية")));
    EXPECT_TRUE(session.beforeChange().isEmpty());
    EXPECT_TRUE(session.beforeCompaction().isEmpty());
}

} // namespace
