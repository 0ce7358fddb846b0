// The display-free core of the CSV import: encodings, separators, quoting, columns, dates,
// refusals and duplicates, and our own export read back unchanged.
#include <QBuffer>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include "csv_document.h"
#include "engine.h"
#include "import_file.h"
#include "import_rows.h"
#include "import_write.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::importing;

namespace {

// Windows-1256 bytes of text that it can write, by the decoder's table read backwards; the
// table itself is checked against Python's cp1256 below.
QByteArray windows1256(const QString& text)
{
    QByteArray high(128, 0);
    for (int b = 0; b < 128; ++b)
        high[b] = char(0x80 + b);
    const QString table = Decode(high, Encoding::Windows1256);
    QByteArray out;
    for (QChar c : text)
        out.append(c.unicode() < 0x80 ? char(c.unicode()) : char(0x80 + table.indexOf(c)));
    return out;
}

QByteArray encode(const QString& text, Encoding encoding, bool bom)
{
    switch (encoding) {
    case Encoding::Utf8:
        return (bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
    case Encoding::Utf16Le:
        return QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom).encode(text);
    case Encoding::Utf16Be:
        return QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom).encode(text);
    case Encoding::Windows1256:
        return windows1256(text);
    }
    return {};
}

QString digits(QString text, char16_t zero)
{
    for (QChar& c : text)
        if (c.isDigit()) c = QChar(char16_t(zero + (c.unicode() - u'0')));
    return text;
}

ImportRows rowsOf(const QString& csv, const QSet<QString>& existing = {})
{
    const ParsedFile file = ParseFile(csv.toUtf8());
    EXPECT_TRUE(file.error.isEmpty()) << file.error.toStdString();
    return BuildRows(file.records, file.map, existing);
}

const QString kHeader = u"اسم الكتاب,اسم المؤلف,اسم المستعير,تاريخ الإعارة,تاريخ الرد\n"_qs;

} // namespace

TEST(Import, Windows1256TableIsPythonsCp1256)
{
    // python3 -c "print(bytes.fromhex('dfcac7c88180a1').decode('cp1256'))"
    EXPECT_EQ(Decode(QByteArray::fromHex("dfcac7c88180a1"), Encoding::Windows1256), u"كتابپ€،"_qs);
    EXPECT_EQ(DetectEncoding(QByteArray::fromHex("dfcac7c8")), Encoding::Windows1256);
}

TEST(Import, EveryEncodingSeparatorAndDateFormReadsTheSameLoans)
{
    struct Form {
        QString loan1, return2, loan2;
    };
    // Day first shown by 15/03; 02/01 then reads as the 2nd of January.
    const Form forms[] = {{u"2024/03/15"_qs, u"2024/02/05"_qs, u"2024/01/02"_qs},
                          {u"2024-03-15"_qs, u"2024-02-05"_qs, u"2024-01-02"_qs},
                          {u"15/03/2024"_qs, u"05/02/2024"_qs, u"02/01/2024"_qs},
                          {u"15/3/2024"_qs, u"5/2/2024"_qs, u"2/1/2024"_qs},
                          {u"15-03-2024"_qs, u"05-02-2024"_qs, u"02-01-2024"_qs}};
    const Encoding encodings[] = {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be,
                                  Encoding::Windows1256};
    for (Encoding encoding : encodings)
        for (bool bom : {false, true})
            for (char16_t zero : {u'0', char16_t(0x0660), char16_t(0x06F0)})
                for (QChar sep : {u',', u';', u'\t'})
                    for (const Form& f : forms) {
                        // Windows-1256 has neither Arabic-Indic digit set; UTF-16 always a mark.
                        if (encoding == Encoding::Windows1256 && (zero != u'0' || bom)) continue;
                        if (encoding != Encoding::Utf8 && !bom && encoding != Encoding::Windows1256) continue;
                        QString text = kHeader;
                        text.replace(u',', sep);
                        text +=
                            QStringList{u"الأيام"_qs, u"طه حسين"_qs, u"أحمد"_qs, digits(f.loan1, zero), {}}
                                .join(sep) +
                            u"\r\n"_qs;
                        text += QStringList{u"كتاب ب"_qs, u"مؤلف"_qs, u"سعاد"_qs, digits(f.loan2, zero),
                                            digits(f.return2, zero)}
                                    .join(sep);
                        const QByteArray bytes = encode(text, encoding, bom);
                        SCOPED_TRACE(QStringLiteral("%1 %2 %3 %4")
                                         .arg(EncodingName(encoding), QString(sep), f.loan1)
                                         .arg(int(zero))
                                         .toStdString());

                        const ParsedFile file = ParseFile(bytes);
                        ASSERT_TRUE(file.error.isEmpty());
                        EXPECT_EQ(file.encoding, encoding);
                        EXPECT_EQ(file.separator, sep);
                        EXPECT_TRUE(file.map.hasHeader);
                        const ImportRows rows = BuildRows(file.records, file.map, {});
                        ASSERT_EQ(rows.accepted.size(), 2);
                        EXPECT_TRUE(rows.refused.isEmpty());
                        const auto& a = rows.accepted[0].cells;
                        const auto& b = rows.accepted[1].cells;
                        EXPECT_EQ(a[Title], u"الأيام"_qs);
                        EXPECT_EQ(a[Borrower], u"أحمد"_qs);
                        EXPECT_EQ(a[LoanDate], u"2024/03/15"_qs);
                        EXPECT_EQ(a[ReturnDate], kNotReturned);
                        EXPECT_EQ(b[LoanDate], u"2024/01/02"_qs);
                        EXPECT_EQ(b[ReturnDate], u"2024/02/05"_qs);
                        EXPECT_EQ(rows.accepted[1].line, 3);
                    }
}

TEST(Import, OurExportReadsBackUnchanged)
{
    const QList<QStringList> written = {
        {u"اسم الكتاب"_qs, u"اسم المؤلف"_qs, u"اسم المستعير"_qs, u"تاريخ الإعارة"_qs, u"تاريخ الرد"_qs,
         u"مدة الإعارة"_qs},
        {u"ألف, باء"_qs, u"قال \"نعم\""_qs, u"سطر\nوسطر\r\nوثالث"_qs, u"2024/01/02"_qs, u"لم يرد بعد"_qs,
         u"3 أيام"_qs},
        {u"=SUM(A1)"_qs, u"+1"_qs, u"-2"_qs, u"@x"_qs, u"\t=tab"_qs, u"'ordinary"_qs},
        {u"=\"a,b\""_qs, QString(), u"x"_qs, u"2024/01/03"_qs, u"2024/01/01"_qs, u"\r"_qs}};
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    {
        csv::Document doc(out);
        for (const QStringList& record : written) {
            for (const QString& cell : record)
                doc.AddCell(cell);
            doc.EndRecord();
        }
    }
    const ParsedFile file = ParseFile(out.data());
    ASSERT_TRUE(file.error.isEmpty());
    EXPECT_EQ(file.encoding, Encoding::Utf8);
    ASSERT_EQ(file.records.size(), written.size());
    for (qsizetype r = 0; r < written.size(); ++r)
        EXPECT_EQ(file.records[r].fields, written[r]) << r;
    EXPECT_EQ(file.records[2].line, 5); // the record before spans two line breaks
    const std::array<int, ColumnCount> fields = {0, 1, 2, 3, 4};
    EXPECT_EQ(file.map.field, fields);

    const ImportRows rows = BuildRows(file.records, file.map, {});
    EXPECT_EQ(rows.accepted.size(), 2); // a return before the loan is kept: the ledger warns of it
    EXPECT_EQ(rows.accepted[0].cells[Author], u"قال \"نعم\""_qs);
    ASSERT_EQ(rows.refused.size(), 1);
    EXPECT_EQ(rows.refused[0].line, 5); // @x is no loan date
}

TEST(Import, RefusalsAndDuplicatesAreCountedApart)
{
    const QString csv = kHeader + u"الأيام,طه,أحمد,2024/01/05,\n"_qs  // accepted
                                  u",طه,أحمد,2024/01/05,\n"_qs        // blank title
                                  u"ب,,,1445/09/30,\n"_qs             // Hijri
                                  u"ج,,,2023/02/30,\n"_qs             // no such day
                                  u"د,,,أمس,\n"_qs                    // no date
                                  u"هـ,,,2024/01/05,غدا\n"_qs         // return date no date
                                  u"و,,\n"_qs                         // too few fields
                                  u" , , , , \n"_qs                   // blank: left out
                                  u"الايام ,طه,احمد,05/01/2024,\n"_qs // same as line 2
                                  u"قديم,,سعاد,2023/12/01,\n"_qs      // in the ledger
                                  u"ز,,,2024/03/01,2024/02/01\n"_qs;  // return before loan: kept
    const ImportRows rows = rowsOf(csv, {DuplicateKey(u"قديم", u"سُعاد", u"2023/12/1")});
    EXPECT_TRUE(rows.error.isEmpty());
    EXPECT_EQ(rows.accepted.size(), 2);
    EXPECT_EQ(rows.duplicates.size(), 2);
    EXPECT_EQ(rows.duplicates[0].line, 10);
    ASSERT_EQ(rows.refused.size(), 6);
    const int lines[] = {3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(rows.refused[i].line, lines[i]);
    EXPECT_EQ(rows.refused[1].reason, u"تاريخ الإعارة: "_qs + kHijriDate);
    EXPECT_EQ(rows.refused[2].reason, u"تاريخ الإعارة: "_qs + kNoSuchDate);
    EXPECT_EQ(rows.refused[3].reason, u"تاريخ الإعارة: "_qs + kUnreadableDate);
    EXPECT_EQ(rows.refused[4].reason, u"تاريخ الرد: "_qs + kUnreadableDate);
}

TEST(Import, DayAndMonthOrderComesFromTheFileAndIsExplained)
{
    ImportRows rows = rowsOf(kHeader + u"أ,,,03/04/2024,03/25/2024\n"_qs);
    EXPECT_EQ(rows.order.order, DayMonthOrder::MonthFirst);
    EXPECT_EQ(rows.order.basis, DayMonthChoice::Basis::File);
    EXPECT_EQ(rows.order.line, 2);
    EXPECT_EQ(rows.accepted[0].cells[LoanDate], u"2024/03/04"_qs);

    rows = rowsOf(kHeader + u"أ,,,03/04/2024,\n"_qs);
    EXPECT_EQ(rows.order.order, DayMonthOrder::DayFirst);
    EXPECT_EQ(rows.order.basis, DayMonthChoice::Basis::Default);
    EXPECT_FALSE(rows.order.explanation.isEmpty());
    EXPECT_EQ(rows.accepted[0].cells[LoanDate], u"2024/04/03"_qs);

    // Common names, any case, and Arabic spelled without hamza; no header maps nothing.
    EXPECT_EQ(MapColumns({u"#"_qs, u" Title "_qs, u"المولف"_qs, u"Borrower"_qs, u"تاريخ الاعارة"_qs}).field,
              (std::array<int, ColumnCount>{1, 2, 3, 4, -1}));
    const ColumnMap none = MapColumns({u"الأيام"_qs, u"طه حسين"_qs, u"2024/01/02"_qs});
    EXPECT_FALSE(none.hasHeader);
    EXPECT_EQ(none.field, (std::array<int, ColumnCount>{-1, -1, -1, -1, -1}));
    EXPECT_FALSE(BuildRows({}, none, {}).error.isEmpty());
}

TEST(Import, FilesOutsideTheLimitsSayWhy)
{
    EXPECT_EQ(ParseFile(QByteArray()).error, u"الملف فارغ"_qs);
    EXPECT_EQ(ParseFile("\xEF\xBB\xBF , \r\n\r\n").error, u"الملف فارغ"_qs);
    EXPECT_FALSE(ParseFile(QByteArray("a,b\0c", 5)).error.isEmpty());
    EXPECT_FALSE(ParseFile(QByteArray(kMaxFileBytes + 1, 'a')).error.isEmpty());
    const ParsedFile open = ParseFile("a,b\r\nc,\"d\r\ne\r\n");
    EXPECT_EQ(open.errorLine, 2);
    EXPECT_NE(open.error.indexOf(u"2"_qs), -1);
    const ParsedFile big = ParseFile("a\n\"" + QByteArray(kMaxFieldChars + 1, 'x') + "\"\n");
    EXPECT_EQ(big.errorLine, 2);
    EXPECT_TRUE(big.records.isEmpty());
}

TEST(ImportWrite, AllRowsLandWithTheirDurationsOrNoneDo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DataBook.mdb"));
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"الأيام", "طه حسين", "أحمد", "2024/01/15", "لم يرد بعد", ""}}));
    // A trigger refuses the third row, as a full disk or a hand-made constraint would half-way.
    test::Query(path,
                QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TableBook WHEN NEW.NameBook = 'x'"
                               " BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    const ParsedFile file = ParseFile(QStringLiteral("الكتاب,المستعير,تاريخ الإعارة,تاريخ الرد\n"
                                                     "الايام,احمد,15/01/2024,\nب,ج,01/02/2024,03/02/2024\n"
                                                     "ت,ث,2024/02/01,\nx,ج,2024/02/02,\n")
                                          .toUtf8());
    const store::OpenResult opened = store::OpenKeyedFile(path, test::kTestPassword);
    ASSERT_TRUE(opened.handle);
    sqlite3* db = opened.handle->db();
    QSet<QString> keys;
    store::Reason reason;
    ASSERT_TRUE(LedgerKeys(db, keys, reason)) << reason.Text().toStdString();
    const ImportRows rows = BuildRows(file.records, file.map, keys);
    EXPECT_EQ(rows.duplicates.size(), 1) << "the ledger's loan, spelt otherwise";
    QList<const ImportRow*> all;
    for (const ImportRow& r : rows.accepted)
        all << &r;
    const QDate today(2024, 3, 10);

    WriteOutcome o = WriteLoans(db, all, today);
    EXPECT_FALSE(o.ok);
    EXPECT_TRUE(o.reason.Text().contains(QStringLiteral("refused")));
    all.removeLast();
    o = WriteLoans(db, all, today, [](qsizetype) { return false; });
    EXPECT_TRUE(o.cancelled);
    EXPECT_EQ(test::Query(path, QStringLiteral("SELECT count(*) FROM TableBook")), QStringList{"1"});

    o = WriteLoans(db, all, today);
    EXPECT_TRUE(o.ok);
    EXPECT_EQ(o.written, 2);
    EXPECT_EQ(
        test::Query(path, QStringLiteral("SELECT NameBook || '|' || NameWriter || '|' || DateLoan || '|' ||"
                                         " DateReturn || '|' || TimeLoan FROM TableBook WHERE ID > 1")),
        (QStringList{"ب||2024/02/01|2024/02/03|" + duration::GetTimeLoan(u"2024/02/01", u"2024/02/03", today),
                     "ت||2024/02/01|لم يرد بعد|" +
                         duration::GetTimeLoan(u"2024/02/01", u"لم يرد بعد", today)}));
}
