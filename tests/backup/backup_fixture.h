// A ledger of two loans in a temporary program folder, and what tests need to look at its backups.
#pragma once

#include <QDir>
#include <QFile>

#include "backup_files.h"
#include "database_test.h"
#include "restore_backup.h"
#include "take_backup.h"
#include "test_db.h"

namespace pelorin::test {

// The loans and the library name as one text: equal texts, equal ledgers.
inline QString Dump(const QString& file)
{
    return Query(file, QStringLiteral("SELECT group_concat(ID||'|'||NameBook, ';') FROM TableBook"))
               .value(0) +
           '#' + Query(file, QStringLiteral("SELECT NameLibrary FROM TableSetting")).value(0);
}

inline QByteArray Bytes(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class BackupTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DatabaseTest::SetUp());
        ASSERT_TRUE(CreateDatabase(path, kTestPassword,
                                   {{"الأيام", "مؤلف", "سالم", "2024/01/01", "لم يرد بعد", ""},
                                    {"العبرات", "مؤلف", "ليلى", "2024/01/01", "لم يرد بعد", ""}}));
    }
    void TearDown() override
    {
        backup::SetBackupHook({});
        backup::SetRestoreHook({});
        DatabaseTest::TearDown();
    }
    QString folder() const { return dir.filePath(QStringLiteral("Backups")); }
    QStringList backupNames() const
    {
        QStringList names;
        for (const backup::BackupFile& b : backup::ListBackups())
            names << QFileInfo(b.path).fileName();
        return names;
    }
    QString takeBackup()
    {
        const backup::Outcome o = backup::TakeBackup();
        EXPECT_TRUE(o.ok) << o.reason.toStdString();
        return o.path;
    }
};

} // namespace pelorin::test
