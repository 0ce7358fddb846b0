// The Access reader on files our own Jet 4 writer made: texts plain and compressed, NULL and
// empty, characters beyond the basic plane, dates, memos, an encoded file; damaged files, and a
// reader that crashes, stalls or babbles, end in a reason and no rows.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "access_file.h"
#include "import_rows.h"

using namespace pelorin;
using namespace pelorin::importing;

namespace {

QString fixture(const char* name)
{
    return QStringLiteral(PELORIN_ACCESS_FIXTURES "/") + QString::fromUtf8(name);
}

QStringList column(const ParsedFile& file, int field)
{
    QStringList out;
    for (qsizetype r = 1; r < file.records.size(); ++r)
        out << file.records[r].fields.value(field);
    return out;
}

class AccessTest : public ::testing::Test {
protected:
    void SetUp() override { AccessReaderProgram() = QStringLiteral(PELORIN_ACCESS_READER); }
    void TearDown() override { AccessReaderLimits() = ProcessLimits(); }
    // A stand-in for the reader: a shell script.
    void fakeReader(const QByteArray& script)
    {
        QFile f(dir.filePath(QStringLiteral("reader.sh")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("#!/bin/sh\n" + script) > 0);
        f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        AccessReaderProgram() = f.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(AccessTest, ALedgerFileComesInWithItsTextsDatesAndLibraryName)
{
    for (const char* name : {"ledger.mdb", "encoded.mdb"}) {
        SCOPED_TRACE(name);
        const AccessTables list = ListAccessTables(fixture(name));
        ASSERT_EQ(list.error, QString());
        ASSERT_EQ(list.tables.size(), 2);
        EXPECT_EQ(list.tables[1].name, QStringLiteral("TableSetting"));
        EXPECT_EQ(FirstLoanTable(list.tables), 0);
        const ParsedFile file = ReadAccessTable(fixture(name), QStringLiteral("TableBook"));
        ASSERT_EQ(file.error, QString());
        EXPECT_EQ(file.warning, QString());
        // Its ID and TimeLoan are not taken.
        EXPECT_EQ(file.map.field, (std::array<int, ColumnCount>{1, 2, 3, 4, 5}));
        EXPECT_EQ(column(file, 1),
                  (QStringList{QStringLiteral("الأيام"), QStringLiteral("Kitab al-Aghani الأغاني vol. 1"),
                               QStringLiteral("البخلاء"), QStringLiteral("ديوان \U0001D11E المتنبي")}));
        const ImportRows rows = BuildRows(file.records, file.map, {});
        ASSERT_EQ(rows.accepted.size(), 4);
        // A NULL author and return date and an empty borrower.
        EXPECT_EQ(rows.accepted[2].line, 3);
        EXPECT_EQ(rows.accepted[2].cells, (std::array<QString, ColumnCount>{QStringLiteral("البخلاء"), "", "",
                                                                            "2024/02/29", kNotReturned}));
        EXPECT_EQ(AccessLibraryName(fixture(name), list.tables), QStringLiteral("مكتبة الأسرة"));
    }
    const AccessTables ace = ListAccessTables(fixture("ledger.accdb"));
    ASSERT_EQ(ace.tables.size(), 2);
    EXPECT_EQ(column(ReadAccessTable(fixture("ledger.accdb"), ace.tables[0].name), 1), QStringList{"الأيام"});
    // Known by their first page, whatever their name.
    ASSERT_TRUE(QFile::copy(fixture("ledger.mdb"), dir.filePath(QStringLiteral("ledger.bin"))));
    EXPECT_TRUE(IsAccessFile(dir.filePath(QStringLiteral("ledger.bin"))));
    EXPECT_FALSE(IsAccessFile(QStringLiteral(PELORIN_ACCESS_FIXTURES "/../CTestTestfile.cmake")));
}

TEST_F(AccessTest, DateColumnsAndMemosOfAnotherShapeComeThroughWhole)
{
    const AccessTables list = ListAccessTables(fixture("other.mdb"));
    ASSERT_EQ(list.tables.size(), 2);
    // No column of either names a loan date: the first table is shown, the owner picks.
    EXPECT_EQ(FirstLoanTable(list.tables), 0);
    const QString loans = QStringLiteral("إعارات الكتب");
    EXPECT_EQ(list.tables[1].name, loans);
    const ParsedFile file = ReadAccessTable(fixture("other.mdb"), loans);
    ASSERT_EQ(file.error, QString());
    EXPECT_EQ(file.map.field[Title], 1);
    EXPECT_EQ(file.map.field[LoanDate], -1);
    // Before 1900 and before 1899/12/30 with a time of day; a time of day after a date; NULL.
    EXPECT_EQ(column(file, 4), (QStringList{"2024/03/07", "1890/05/01", "2024/02/12", ""}));
    EXPECT_EQ(column(file, 5), (QStringList{"", "1899/12/29", "2024/02/19", ""}));
    QList<qsizetype> memo;
    for (const QString& m : column(file, 6))
        memo << m.size();
    EXPECT_EQ(memo, (QList<qsizetype>{5, 300, 26000, 0}));
    EXPECT_TRUE(column(file, 6)[2].startsWith(QStringLiteral("ملاحظة طويلة ملاحظة")));
}

TEST_F(AccessTest, DamagedFilesEndInAReasonAndNoRows)
{
    const QString table = QStringLiteral("TableBook");
    for (const char* name :
         {"truncated.mdb", "zeroed-catalog.mdb", "random.mdb", "map-out-of-range.mdb", "empty-map.mdb"}) {
        SCOPED_TRACE(name);
        const AccessTables list = ListAccessTables(fixture(name));
        const ParsedFile file = list.error.isEmpty() ? ReadAccessTable(fixture(name), table) : ParsedFile{};
        EXPECT_FALSE(list.error.isEmpty() && file.error.isEmpty());
        EXPECT_TRUE(file.records.isEmpty());
    }
    EXPECT_EQ(ListAccessTables(fixture("jet3.mdb")).error,
              QStringLiteral("الملف من إصدار Access 97، ولا تُقرأ إلا ملفات Access 2000 وما بعده"));
    // libmdb dereferences an empty usage map: the reader dies, not the program.
    EXPECT_EQ(ReadAccessTable(fixture("empty-map.mdb"), table).error,
              QStringLiteral("توقف قارئ ملفات Access فجأة وهو يقرأ هذا الملف؛ يبدو أن الملف تالف"));
    // A map of one byte hides every page: the rows lost are said, not passed over.
    const ParsedFile shortMap = ReadAccessTable(fixture("short-map.mdb"), table);
    EXPECT_EQ(shortMap.error, QString());
    EXPECT_EQ(shortMap.records.size(), 1);
    EXPECT_TRUE(
        shortMap.warning.startsWith(QStringLiteral("عدد الصفوف المقروءة من الجدول 0، والملف يذكر أن فيه 4")));
}

TEST_F(AccessTest, AReaderThatStallsBabblesOrIsMissingIsStoppedWithAReason)
{
    AccessReaderLimits().seconds = 1;
    QElapsedTimer clock;
    clock.start();
    fakeReader("exec sleep 30\n");
    EXPECT_EQ(ListAccessTables(fixture("ledger.mdb")).error,
              QStringLiteral("لم تنتهِ قراءة الملف في 1 ثانية؛ قد يكون الملف تالفًا"));
    const std::atomic<bool> stop{true};
    EXPECT_TRUE(ReadAccessTable(fixture("ledger.mdb"), QStringLiteral("TableBook"), &stop).stopped);
    EXPECT_LT(clock.elapsed(), 5000);

    // Rows without the reader's count of them, and a record left open.
    for (const QByteArray& babble : {QByteArray("printf 'a\\037b\\037\\0361\\0372\\037\\036'\n"),
                                     QByteArray("printf 'a\\037\\036x'; echo 'rows 1 1' >&2\n")}) {
        fakeReader(babble);
        const ParsedFile file = ReadAccessTable(fixture("ledger.mdb"), QStringLiteral("TableBook"));
        EXPECT_EQ(file.error, QStringLiteral("أخرج قارئ ملفات Access ما لا يُفهم"));
        EXPECT_TRUE(file.records.isEmpty());
    }
    AccessReaderProgram() = dir.filePath(QStringLiteral("missing"));
    EXPECT_TRUE(ListAccessTables(fixture("ledger.mdb"))
                    .error.startsWith(QStringLiteral("تعذر تشغيل قارئ ملفات Access")));

    // The child runs under the limits: memory (in KB for ulimit), processor time, no core file.
    const LimitedRun run = RunLimited(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -v; ulimit -t; ulimit -c")},
        ProcessLimits{7, qint64(256) << 20});
    EXPECT_TRUE(run.ok());
    EXPECT_EQ(run.out, "262144\n7\n0\n");
}

} // namespace
