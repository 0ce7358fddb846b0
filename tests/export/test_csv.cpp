// CSV documents read back by Python's csv module, and the all-or-nothing file write.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <sys/resource.h>

#include "csv_document.h"
#include "csv_reader.h"
#include "save_file.h"

using namespace pelorin;

namespace {

QByteArray document(const QList<QStringList>& records)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    csv::Document doc(out);
    for (const QStringList& r : records) {
        for (const QString& cell : r)
            doc.AddCell(cell);
        doc.EndRecord();
    }
    doc.Flush();
    return out.data();
}

TEST(Csv, AwkwardCellsComeBackWholeAndFormulasAsText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ledger.csv"_qs);
    const QStringList plain = {u"ألف, باء"_qs, u"قال \"نعم\""_qs, u"سطر\nوسطر\r\nوثالث"_qs, QString(),
                               u"a=b 😀"_qs};
    const QStringList formulas = {u"=HYPERLINK(\"x\")"_qs, u"+966"_qs, u"-1"_qs,
                                  u"@SUM(A1)"_qs,          u"\tب"_qs,  u"\rج"_qs};
    const QByteArray bytes = document({plain, formulas});
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF") && bytes.endsWith("\r\n"));
    ASSERT_TRUE(csv::SaveAtomically(path, bytes));

    QStringList guarded = formulas;
    for (QString& cell : guarded)
        cell.prepend(QLatin1Char('\''));
    bool ok = false;
    EXPECT_EQ(test::ReadCsvWithPython(path, &ok), (QList<QStringList>{plain, guarded}));
    EXPECT_TRUE(ok);
}

// A write that fails (here past the process's file-size limit, which binds root as well) leaves
// the earlier file as it was and no temporary file beside it.
TEST(Csv, AFailedWriteLeavesTheEarlierFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ledger.csv"_qs);
    ASSERT_TRUE(csv::SaveAtomically(path, "old\r\n"));
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 4096;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    csv::SaveFailure error;
    const bool saved = csv::SaveAtomically(path, QByteArray(20000, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.text.isEmpty());
    EXPECT_EQ(error.systemError, EFBIG);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"ledger.csv"_qs});
}

} // namespace
