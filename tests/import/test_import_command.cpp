// The import command of the ledger window: the file read, the preview's counts and choices, the
// backup, the rows written and the list rebuilt; files that hold no loans; an export read back;
// Access files, whole or mapped by hand, and one that crashes the reader.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "access_file.h"
#include "frm_import.h"
#include "import_file.h"
#include "ledger_fixture.h"
#include "list_export.h"
#include "list_import.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

class ImportCommandTest : public LedgerFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LedgerFixture::SetUp());
        importing::AccessReaderProgram() = QStringLiteral(PELORIN_ACCESS_READER);
    }
    void TearDown() override
    {
        ChooseImportFile() = savedChooser;
        AnswerImportPreview() = savedAnswer;
        ChooseExportFile() = savedExport;
        LedgerFixture::TearDown();
    }
    // Imports the file, answering the preview with look (true: Import).
    void importFile(const QString& file, std::function<bool(importing::FrmImport&)> look)
    {
        ChooseImportFile() = [file](QWidget*, const QString&) { return file; };
        AnswerImportPreview() = std::move(look);
        window->ImportLoans();
    }
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString file = dir.filePath(name);
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return file;
    }
    QStringList loans() const
    {
        return test::Query(
            path, QStringLiteral("SELECT NameBook || '|' || NameWriter || '|' || NameBorrower || '|' ||"
                                 " DateLoan || '|' || DateReturn FROM TableBook ORDER BY ID"));
    }
    static QString access(const char* name) { return QStringLiteral(PELORIN_ACCESS_FIXTURES "/") + name; }
    // Saves the preview's picture when PELORIN_SHOTS names a folder.
    static void shoot(importing::FrmImport& p, const QString& name)
    {
        if (qEnvironmentVariableIsEmpty("PELORIN_SHOTS")) return;
        p.show();
        p.grab().save(qEnvironmentVariable("PELORIN_SHOTS") + u'/' + name);
    }
    ImportFileChooser savedChooser = ChooseImportFile();
    ImportPreviewAnswer savedAnswer = AnswerImportPreview();
    ExportFileChooser savedExport = ChooseExportFile();
};

TEST_F(ImportCommandTest, PreviewCountsWhatComesInAndTheSummarySaysWhatCame)
{
    FrmMain& w = load({{"الأيام", "طه حسين", "أحمد", "2024/01/15", kOut, ""}});
    const QString file = write(QStringLiteral("loans.csv"),
                               QStringLiteral("العنوان;المؤلف;المستعير;تاريخ الإعارة;تاريخ الرد\n"
                                              "الايام;طه حسين;احمد;15/01/2024;\n" // in the ledger already
                                              "البخلاء;الجاحظ;سارة;٠٣/٠٤/٢٠٢٤;لم يرد بعد\n" // day first
                                              "البخلاء;الجاحظ;سارة;3/4/2024;\n" // earlier in the file
                                              ";بلا عنوان;ليلى;2024/01/01;\n"
                                              "كتاب;مؤلف;هدى;1445/09/30;\n"
                                              "كليلة ودمنة;ابن المقفع;علي;2023/05/20;2023/06/01\n")
                                   .toUtf8());
    importFile(file, [&](importing::FrmImport& p) {
        EXPECT_EQ(p.CboSeparator->currentData().toChar(), QChar(u';'));
        EXPECT_TRUE(p.ChkHeader->isChecked());
        EXPECT_EQ(p.LblCounts->text(), QStringLiteral("ستُضاف إعارتان، وستُترك اثنتان مكررتان، وسيُرفض صفّان."));
        EXPECT_EQ(p.lstRefused->count(), 2);
        EXPECT_TRUE(p.lstRefused->item(1)->text().startsWith(QStringLiteral("السطر 6: ")));
        EXPECT_EQ(p.lvwPreview->item(0, 4)->text(), QStringLiteral("2024/04/03"));
        EXPECT_FALSE(p.LblOrder->text().isEmpty());
        if (!qEnvironmentVariableIsEmpty("PELORIN_SHOTS")) {
            p.show();
            p.grab().save(qEnvironmentVariable("PELORIN_SHOTS") + QStringLiteral("/import-preview.png"));
        }
        // The owner takes the second "البخلاء" too, then leaves out the author's column.
        p.ChkDuplicates->setChecked(true);
        EXPECT_EQ(p.LblCounts->text(), QStringLiteral("ستُضاف 4 إعارات، وسيُرفض صفّان."));
        p.ChkDuplicates->setChecked(false);
        p.CboColumn[importing::Author]->setCurrentIndex(0);
        return true;
    });
    EXPECT_EQ(loans(),
              (QStringList{"الأيام|طه حسين|أحمد|2024/01/15|" + kOut, "البخلاء||سارة|2024/04/03|" + kOut,
                           "كليلة ودمنة||علي|2023/05/20|2023/06/01"}));
    EXPECT_EQ(test::Query(path, QStringLiteral("SELECT count(*) FROM TableBook WHERE TimeLoan = ''")),
              QStringList{"0"});
    EXPECT_EQ(w.model->rowCount(), 3);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("Backups"))).entryList(QDir::Files).size(), 1);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.startsWith(
        QStringLiteral("أُضيفت إعارتان، وتُركت اثنتان مكررتان، ورُفض صفّان.\n\nالصفوف المرفوضة:\nالسطر 5: ")));
}

TEST_F(ImportCommandTest, FilesWithoutLoansAreRefusedWithTheirReasonAndNothingChanges)
{
    load({});
    bool shown = false;
    const auto never = [&](importing::FrmImport&) { return shown = true, true; };
    const struct {
        QString file;
        QString says;
    } cases[] = {
        {write(QStringLiteral("empty.csv"), "\xEF\xBB\xBF\r\n,,\r\n"), QStringLiteral("الملف فارغ")},
        {write(QStringLiteral("picture.csv"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11)),
         QStringLiteral("تعذر استيراد الملف")},
        {write(QStringLiteral("open.csv"), "title,loan date\n\"a,2024/01/01\n"),
         QStringLiteral("تعذر استيراد الملف")},
        {dir.filePath(QStringLiteral("gone.csv")), QStringLiteral("تعذرت قراءة الملف")},
        {write(QStringLiteral("huge.csv"), "title,loan date\n"), QStringLiteral("أكبر من 100 ميغابايت")},
    };
    // Sparse: the size is what counts, and nothing of it is read.
    QFile::resize(cases[4].file, importing::kMaxFileBytes + 1);
    for (const auto& c : cases) {
        fake.messages.clear();
        importFile(c.file, never);
        ASSERT_EQ(fake.messages.size(), 1) << c.file.toStdString();
        EXPECT_TRUE(fake.messages[0].text.contains(c.says)) << fake.messages[0].text.toStdString();
        EXPECT_TRUE(fake.messages[0].text.contains(c.file));
    }
    EXPECT_FALSE(shown);
    EXPECT_EQ(loans(), QStringList());
}

TEST_F(ImportCommandTest, AnExportedLedgerImportsIntoAnEmptyOneAsTheSameLoans)
{
    const std::vector<test::BookRow> rows = {
        {"=SUM(A1), \"كتاب\"", "مؤلف\nثان", "أحمد", "2024/01/15", kOut, ""},
        {"الأيام", "-طه", "احمد", "2024/01/10", "2024/01/12", ""},
        {"لا إله إلا الله؛ 100%_", "@مؤلف", "سارة", "2023/02/28", kOut, ""}};
    FrmMain& w = load(rows);
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    ChooseExportFile() = [&](QWidget*, const QString&) { return csv; };
    w.ExportList();
    const QStringList before = loans();
    test::Query(path, QStringLiteral("DELETE FROM TableBook"));
    importFile(csv, [](importing::FrmImport&) { return true; });
    EXPECT_EQ(loans().size(), 3);
    QStringList sortedBefore = before, sortedAfter = loans();
    sortedBefore.sort();
    sortedAfter.sort();
    EXPECT_EQ(sortedAfter, sortedBefore);
}

TEST_F(ImportCommandTest, AnAccessLedgerComesInWithItsTextsDatesAndLibraryName)
{
    FrmMain& w = load({{"الأيام", "طه حسين", "أحمد", "2024/01/15", kOut, ""}});
    importFile(access("ledger.mdb"), [&](importing::FrmImport& p) {
        EXPECT_TRUE(p.CboTable->isVisibleTo(&p));
        EXPECT_FALSE(p.CboEncoding->isVisibleTo(&p));
        EXPECT_EQ(p.CboTable->count(), 2);
        // The ledger still has the delivered name: the file's is offered ticked.
        EXPECT_TRUE(p.ChkLibraryName->isChecked());
        EXPECT_EQ(p.ChkLibraryName->text(), QStringLiteral("اعتمد اسم المكتبة: مكتبة الأسرة"));
        EXPECT_EQ(p.LblCounts->text(), QStringLiteral("ستُضاف 3 إعارات، وستُترك واحدة مكررة."));
        shoot(p, QStringLiteral("import-access-preview.png"));
        return true;
    });
    EXPECT_EQ(loans(), (QStringList{"الأيام|طه حسين|أحمد|2024/01/15|" + kOut,
                                    "Kitab al-Aghani الأغاني vol. 1|Abu al-Faraj|سارة|2023/11/02|2023/12/01",
                                    "البخلاء|||2024/02/29|" + kOut,
                                    "ديوان \U0001D11E المتنبي|المتنبي|علي|2022/05/20|2022/06/01"}));
    EXPECT_EQ(test::Query(path, QStringLiteral("SELECT NameLibrary FROM TableSetting")),
              QStringList{"مكتبة الأسرة"});
    EXPECT_EQ(w.TxtNameLibrary->text(), QStringLiteral("مكتبة الأسرة"));
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.contains(QStringLiteral("واعتُمد اسم المكتبة: مكتبة الأسرة")));

    // A name of the owner's own is kept unless the owner ticks the file's.
    test::Query(path, QStringLiteral("UPDATE TableSetting SET NameLibrary = 'مكتبة البيت'"));
    importFile(access("encoded.mdb"), [&](importing::FrmImport& p) {
        EXPECT_TRUE(p.ChkLibraryName->isVisibleTo(&p));
        EXPECT_FALSE(p.ChkLibraryName->isChecked());
        EXPECT_EQ(p.ChosenLibraryName(), QString());
        return false;
    });
}

TEST_F(ImportCommandTest, AnotherTableIsChosenAndMappedByHand)
{
    load({});
    importFile(access("other.mdb"), [&](importing::FrmImport& p) {
        // The first table, of shelves, names no title: nothing to import until the owner picks.
        EXPECT_FALSE(p.CmdImport->isEnabled());
        EXPECT_FALSE(p.ChkLibraryName->isVisibleTo(&p));
        p.CboTable->setCurrentIndex(1);
        EXPECT_EQ(p.CboColumn[importing::Title]->currentData().toInt(), 1);
        p.CboColumn[importing::Borrower]->setCurrentIndex(p.CboColumn[importing::Borrower]->findData(3));
        p.CboColumn[importing::LoanDate]->setCurrentIndex(p.CboColumn[importing::LoanDate]->findData(4));
        p.CboColumn[importing::ReturnDate]->setCurrentIndex(p.CboColumn[importing::ReturnDate]->findData(5));
        EXPECT_EQ(p.LblCounts->text(), QStringLiteral("ستُضاف 3 إعارات، وسيُرفض صف واحد."));
        EXPECT_EQ(p.lstRefused->item(0)->text(), QStringLiteral("الصف 4: تاريخ الإعارة فارغ"));
        EXPECT_EQ(p.lvwPreview->horizontalHeaderItem(0)->text(), QStringLiteral("الصف"));
        shoot(p, QStringLiteral("import-access-mapped.png"));
        return true;
    });
    EXPECT_EQ(loans(), (QStringList{"المقدمة|ابن خلدون|ليلى|2024/03/07|" + kOut,
                                    "Old Atlas أطلس|Mercator|Huda|1890/05/01|1899/12/29",
                                    "الأغاني||هدى|2024/02/12|2024/02/19"}));
}

TEST_F(ImportCommandTest, AnAccessFileThatCrashesTheReaderIsRefusedAndNothingChanges)
{
    load({{"الأيام", "طه حسين", "أحمد", "2024/01/15", kOut, ""}});
    const QStringList before = loans();
    bool shown = false;
    importFile(access("empty-map.mdb"), [&](importing::FrmImport&) { return shown = true, true; });
    EXPECT_FALSE(shown);
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.startsWith(QStringLiteral("تعذرت قراءة الملف:")));
    EXPECT_TRUE(fake.messages[0].text.endsWith(
        QStringLiteral("توقف قارئ ملفات Access فجأة وهو يقرأ هذا الملف؛ يبدو أن الملف تالف")));
    EXPECT_EQ(loans(), before);
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("Backups"))).exists());
}

} // namespace
