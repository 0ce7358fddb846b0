// The owner's words for a failure: each common cause of the engine and of the system gets its
// Arabic sentence, with the original words kept in parentheses.
#include <QFile>
#include <QFileDevice>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <sqlite3.h>

#include "engine.h"
#include "qt_printers.h"
#include "reasons.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::store;

namespace {

TEST(Reasons, EngineCodesAndSystemErrorsMeetInOneSetOfCauses)
{
    const struct {
        Cause engine, system;
    } pairs[] = {
        {EngineCause(SQLITE_FULL), SystemCause(ENOSPC)},    {EngineCause(SQLITE_FULL), SystemCause(EDQUOT)},
        {EngineCause(SQLITE_READONLY), SystemCause(EROFS)}, {EngineCause(SQLITE_PERM), SystemCause(EACCES)},
        {EngineCause(SQLITE_PERM), SystemCause(EPERM)},     {EngineCause(SQLITE_BUSY), SystemCause(EBUSY)},
        {EngineCause(SQLITE_LOCKED), SystemCause(ETXTBSY)},
    };
    for (const auto& p : pairs)
        EXPECT_EQ(p.engine, p.system);
    EXPECT_EQ(EngineCause(SQLITE_FULL), Cause::DiskFull);
    EXPECT_EQ(EngineCause(SQLITE_READONLY), Cause::ReadOnly);
    EXPECT_EQ(EngineCause(SQLITE_PERM), Cause::Denied);
    EXPECT_EQ(EngineCause(SQLITE_BUSY), Cause::InUse);
    EXPECT_EQ(EngineCause(SQLITE_CORRUPT), Cause::Damaged);
    EXPECT_EQ(EngineCause(SQLITE_NOTADB), Cause::NotLedger);
    EXPECT_EQ(EngineCause(SQLITE_MISUSE), Cause::Unknown);
    EXPECT_EQ(SystemCause(EINVAL), Cause::Unknown);

    // An open or a read/write failure is told apart by the errno the engine gives with it.
    EXPECT_EQ(EngineCause(SQLITE_IOERR, ENOSPC), Cause::DiskFull);
    EXPECT_EQ(EngineCause(SQLITE_IOERR, 0), Cause::DiskError);
    EXPECT_EQ(EngineCause(SQLITE_CANTOPEN, EACCES), Cause::Denied);
    EXPECT_EQ(EngineCause(SQLITE_CANTOPEN, EROFS), Cause::ReadOnly);
    // A failure handed on as a plain error keeps only the engine's fixed words for it.
    EXPECT_EQ(Reason::Engine(SQLITE_ERROR, QStringLiteral("database or disk is full")).cause,
              Cause::DiskFull);
    EXPECT_EQ(Reason::Engine(SQLITE_ERROR, QStringLiteral("no such table: x")).cause, Cause::Unknown);

    // Qt's file failures: the errno first, Qt's kind where there is none.
    EXPECT_EQ(FileCause(QFileDevice::OpenError, EROFS), Cause::ReadOnly);
    EXPECT_EQ(FileCause(QFileDevice::ResourceError, 0), Cause::DiskFull);
    EXPECT_EQ(FileCause(QFileDevice::WriteError, 0), Cause::Unknown);
}

TEST(Reasons, TheArabicSentenceComesFirstAndTheOriginalInParentheses)
{
    EXPECT_EQ(Explained(Cause::DiskFull, QStringLiteral("database or disk is full")),
              QStringLiteral("القرص ممتلئ، ولا مكان لحفظ الملف. (database or disk is full)"));
    EXPECT_EQ(Explained(Cause::Unknown, QStringLiteral("out of memory")),
              CauseSentence(Cause::Unknown) + QStringLiteral(" (out of memory)"));
    EXPECT_EQ(Explained(Cause::ReadOnly, QString()), CauseSentence(Cause::ReadOnly));
    // Our own words are passed on as they are.
    EXPECT_EQ(Reason::Said(QStringLiteral("الملف فارغ")).Text(), QStringLiteral("الملف فارغ"));

    QSet<QString> sentences;
    for (Cause c : {Cause::DiskFull, Cause::ReadOnly, Cause::Denied, Cause::InUse, Cause::Damaged,
                    Cause::NotLedger, Cause::NotFound, Cause::DiskError, Cause::Unknown})
        sentences << CauseSentence(c);
    EXPECT_EQ(sentences.size(), 9);
    EXPECT_FALSE(sentences.contains(QString()));
}

// A keyed file opened with another password: the code travels with the engine's words.
TEST(Reasons, AWrongKeyIsToldAsAnotherPassword)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DataBook.mdb"));
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword));
    const OpenResult r = OpenKeyedFile(path, QStringLiteral("another"));
    EXPECT_FALSE(r.handle);
    EXPECT_EQ(r.code, SQLITE_NOTADB);
    EXPECT_EQ(r.reason().Text(),
              CauseSentence(Cause::NotLedger) + QStringLiteral(" (file is not a database)"));
}

} // namespace
