// CSV documents read back by Python's csv module, and the all-or-nothing file write.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

class CsvTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("ledger.csv"));
};

TEST_F(CsvTest, AwkwardCellsComeBackWholeAndFormulasAsText)
{
    const QList<QStringList> written = {
        {u"اسم الكتاب"_qs, u"اسم المؤلف"_qs, u"ملاحظة"_qs},
        {u"ألف, باء"_qs, u"قال \"نعم\""_qs, u"سطر\nوسطر\r\nوثالث"_qs},
        {u"=HYPERLINK(\"x\")"_qs, u"+966 5"_qs, u"-1"_qs},
        {u"@SUM(A1)"_qs, u"\tمسافة"_qs, u"\rعودة"_qs},
        {QString(), u"a=b"_qs, u"\"=1\""_qs},
    };
    ASSERT_TRUE(csv::SaveAtomically(path, document(written)));

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "a byte-order mark first";
    EXPECT_TRUE(bytes.endsWith("\r\n"));

    bool ok = false;
    QString error;
    const QList<QStringList> read = test::ReadCsvWithPython(path, &ok, &error);
    ASSERT_TRUE(ok) << error.toStdString();
    QList<QStringList> expected = written;
    // A leading = + - @ tab or carriage return gets an apostrophe, nothing else does.
    for (int r : {2, 3})
        for (QString& cell : expected[r])
            cell.prepend(QLatin1Char('\''));
    EXPECT_EQ(read, expected);
}

// Nothing is half written: a write that fails (here: past the process's file-size limit, which
// binds root as well) leaves the earlier file as it was and no temporary file beside it.
TEST_F(CsvTest, AFailedWriteLeavesTheEarlierFileWhole)
{
    ASSERT_TRUE(csv::SaveAtomically(path, "old,file\r\n"));
    const QByteArray big = document(QList<QStringList>(2000, {u"كتاب طويل الاسم"_qs, u"مؤلف"_qs}));

    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    QString error;
    const bool saved = csv::SaveAtomically(path, big, &error);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.isEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old,file\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"ledger.csv"_qs});

    EXPECT_FALSE(csv::SaveAtomically(dir.filePath(u"no/such/folder/x.csv"_qs), big));
}

} // namespace
