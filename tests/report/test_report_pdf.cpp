// The loan report written to PDF and read back with MuPDF's mutool, a reader we did not write.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

#include "database.h"
#include "database_test.h"
#include "drpelorin.h"
#include "frm_main.h"
#include "ledger_model.h"
#include "mdata.h"
#include "qt_printers.h"
#include "report_loan.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::ledger;

namespace {

const QString kNotReturned = QStringLiteral("لم يرد بعد");
const QStringList kCaptions = {QStringLiteral("قائمة بأسماء الكتب المعارة"),
                               QStringLiteral("اسم الكتاب"),
                               QStringLiteral("اسم المؤلف"),
                               QStringLiteral("اسم المستعير"),
                               QStringLiteral("تاريخ الإعارة"),
                               QStringLiteral("تاريخ الرد"),
                               QStringLiteral("مدة الإعارة")};
const QStringList kPageCaptions = kCaptions.mid(1);

// Dropping the spaces hides where the extractor split words and joined cells.
QString plain(const QString& s)
{
    QString out = s;
    out.remove(QLatin1Char(' '));
    return out;
}

class ReportPdfTest : public test::DatabaseTest {
protected:
    void SetUp() override
    {
        if (QProcess::execute(QStringLiteral("sh"),
                              {QStringLiteral("-c"), QStringLiteral("command -v mutool >/dev/null")}) != 0)
            GTEST_SKIP() << "mutool is not installed";
        ASSERT_NO_FATAL_FAILURE(DatabaseTest::SetUp());
        pdf = dir.filePath(QStringLiteral("report.pdf"));
    }
    void TearDown() override
    {
        // Set PELORIN_SHOTS to a folder to look at the pages afterwards.
        const QString keep = qEnvironmentVariable("PELORIN_SHOTS");
        if (!keep.isEmpty() && QFile::exists(pdf)) {
            const QString name =
                QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
            QFile::remove(keep + QLatin1Char('/') + name + QStringLiteral(".pdf"));
            QFile::copy(pdf, keep + QLatin1Char('/') + name + QStringLiteral(".pdf"));
        }
        DRPelorin().dataSource.reset();
        DatabaseTest::TearDown();
    }
    // The text of every page of the PDF, without its spaces.
    QStringList pages()
    {
        QProcess p;
        p.start(QStringLiteral("mutool"),
                {QStringLiteral("draw"), QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("txt"),
                 QStringLiteral("-o"), QStringLiteral("-"), pdf});
        p.waitForFinished(60000);
        QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
        if (!out.isEmpty() && out.last().trimmed().isEmpty()) out.removeLast();
        for (QString& page : out)
            page = plain(page);
        return out;
    }

    QString pdf;
};

TEST_F(ReportPdfTest, TitleCaptionsAndRowsInTitleOrder)
{
    // Stored out of order, with an unreturned book and a title the list would sort elsewhere.
    ASSERT_TRUE(test::CreateDatabase(
        path, test::kTestPassword,
        {{QStringLiteral("ياقوت الحموي"), QStringLiteral("مؤلف ثالث"), QStringLiteral("سالم"),
          QStringLiteral("2020/01/05"), QStringLiteral("2020/02/01"), QStringLiteral("قديم")},
         {QStringLiteral("الأغاني"), QStringLiteral("الأصفهاني"), QStringLiteral("خالد"),
          QStringLiteral("2021/03/04"), kNotReturned, QStringLiteral("مدة ما")},
         {QStringLiteral("تاريخ الطبري"), QStringLiteral("الطبري"), QStringLiteral("زيد"),
          QStringLiteral("2019/11/30"), QStringLiteral("2020/01/01"), QStringLiteral("شهر")}}));
    ASSERT_TRUE(RenderLoanReportPdf(pdf, QStringLiteral("   مكتبة البيت  ")));

    const QStringList text = pages();
    ASSERT_EQ(text.size(), 1);
    const QString& page = text[0];
    EXPECT_TRUE(page.contains(plain(QStringLiteral("مكتبة البيت")))) << page.toStdString();
    for (const QString& caption : kCaptions)
        EXPECT_TRUE(page.contains(plain(caption))) << caption.toStdString();
    EXPECT_TRUE(page.contains(plain(kNotReturned)));
    EXPECT_TRUE(page.contains(QStringLiteral("2021/03/04")));

    const int first = int(page.indexOf(plain(QStringLiteral("الأغاني"))));
    const int second = int(page.indexOf(plain(QStringLiteral("تاريخ الطبري"))));
    const int third = int(page.indexOf(plain(QStringLiteral("ياقوت الحموي"))));
    ASSERT_GE(first, 0);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    // The title label was set trimmed.
    EXPECT_EQ(
        DRPelorin().FindBand(QStringLiteral("Section4"))->FindControl(QStringLiteral("LblMain"))->caption,
        QStringLiteral("مكتبة البيت"));
}

TEST_F(ReportPdfTest, AnEmptyLedgerGivesOnePageOfHeaders)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    ASSERT_TRUE(RenderLoanReportPdf(pdf, QString()));
    const QStringList text = pages();
    ASSERT_EQ(text.size(), 1);
    for (const QString& caption : kCaptions)
        EXPECT_TRUE(text[0].contains(plain(caption))) << caption.toStdString();
}

TEST_F(ReportPdfTest, ALongLedgerRepeatsThePageHeaderOnEveryPage)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    ASSERT_TRUE(test::FillBooks(path, 400));
    ASSERT_TRUE(RenderLoanReportPdf(pdf, QStringLiteral("مكتبتي")));
    const QStringList text = pages();
    ASSERT_EQ(text.size(), 9); // 46 rows on the first page, 50 on each of the next seven, 4 on the last
    int rows = 0;
    for (int i = 0; i < text.size(); ++i) {
        for (const QString& caption : kPageCaptions)
            EXPECT_TRUE(text[i].contains(plain(caption)))
                << "page " << i + 1 << ": " << caption.toStdString();
        EXPECT_EQ(text[i].contains(plain(QStringLiteral("قائمة بأسماء الكتب المعارة"))), i == 0)
            << "page " << i + 1;
        rows += int(text[i].count(QRegularExpression(QStringLiteral("\\d{4}/\\d{2}/\\d{2}"))));
    }
    // Each row prints a loan date, and a return date unless the book is still out.
    EXPECT_EQ(rows, 400 + 400 - 134);
}

TEST_F(ReportPdfTest, FieldsPrintTheStoredTextsUnchanged)
{
    // Nulls print as nothing; an unreadable date prints as stored, with no warning; a title
    // far wider than its column is cut short and leaves the author beside it whole.
    const QString longTitle = QStringLiteral("كتاب العبر وديوان المبتدأ والخبر في أيام العرب والعجم والبربر");
    ASSERT_TRUE(
        test::CreateDatabase(path, test::kTestPassword,
                             {{QStringLiteral("كتاب"), QString(), QStringLiteral("عمر"),
                               QStringLiteral("2024/13/45"), QString(), QStringLiteral("خطأ في المدخلات")},
                              {longTitle, QStringLiteral("ابن خلدون"), QStringLiteral("علي"),
                               QStringLiteral("2024/01/01"), kNotReturned, QStringLiteral("شهر")}}));
    ASSERT_TRUE(RenderLoanReportPdf(pdf, QStringLiteral("x")));
    const QString page = pages().value(0);
    EXPECT_TRUE(page.contains(QStringLiteral("2024/13/45")));
    EXPECT_TRUE(page.contains(plain(QStringLiteral("خطأ في المدخلات"))));
    EXPECT_TRUE(page.contains(plain(QStringLiteral("ابن خلدون"))));
    EXPECT_FALSE(page.contains(plain(longTitle)));
    EXPECT_TRUE(page.contains(plain(QStringLiteral("كتاب العبر"))));
    EXPECT_TRUE(page.contains(QStringLiteral("…")) || page.contains(QStringLiteral("...")))
        << "an ellipsis marks the cut";
}

TEST_F(ReportPdfTest, AnUnwritablePdfIsReported)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    EXPECT_FALSE(RenderLoanReportPdf(dir.filePath(QStringLiteral("no/such/folder/report.pdf")), QString()));
}

// Rows that cannot be read give the database error, never an empty report as if all were well.
TEST_F(ReportPdfTest, UnreadableRowsGiveTheDatabaseErrorAndNoReport)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    FrmMain main;
    main.Form_Load();
    // Another program takes the table away behind the window's back.
    test::Query(path, QStringLiteral("ALTER TABLE TableBook RENAME TO Elsewhere"));
    fake.messages.clear();

    bool previewed = false;
    QTimer::singleShot(0, &main, [&] {
        if (QWidget* preview = QApplication::activeModalWidget()) previewed = true, preview->close();
    });
    main.ImgReport_Click();
    EXPECT_FALSE(previewed);
    EXPECT_FALSE(RenderLoanReportPdf(pdf, QStringLiteral("مكتبتي")));
    EXPECT_FALSE(QFile::exists(pdf));
    ASSERT_EQ(fake.messages.size(), 2);
    for (const auto& m : fake.messages) {
        EXPECT_EQ(m.title, QStringLiteral("خطأ"));
        EXPECT_TRUE(m.text.startsWith(QStringLiteral("تعذرت قراءة قاعدة البيانات"))) << m.text.toStdString();
    }
}

// The preview: modal, with its caption and size, over the window that asked for it.
TEST_F(ReportPdfTest, PreviewWindowShowsTheTitleFromTheBoxAsItIsNow)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword, {}, QStringLiteral("الاسم المحفوظ")));
    FrmMain main;
    main.TxtNameLibrary->setText(QStringLiteral("  اسم لم يحفظ "));

    QString caption;
    QSize size;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!preview) return;
        caption = preview->windowTitle();
        size = preview->size();
        modal = preview->isModal();
        // Set PELORIN_SHOTS to a folder to look at the preview window.
        const QString shots = qEnvironmentVariable("PELORIN_SHOTS");
        if (!shots.isEmpty()) {
            preview->show();
            QApplication::processEvents();
            preview->grab().save(shots + QStringLiteral("/report_preview.png"));
        }
        preview->reject();
    });
    main.ImgReport_Click();

    EXPECT_EQ(caption, QStringLiteral("Pelorin - معاينة قبل الطباعة"));
    EXPECT_EQ(size, QSize(1016, 734));
    EXPECT_TRUE(modal);
    EXPECT_EQ(
        DRPelorin().FindBand(QStringLiteral("Section4"))->FindControl(QStringLiteral("LblMain"))->caption,
        QStringLiteral("اسم لم يحفظ"));
    ASSERT_TRUE(store::MData::Rs);
    EXPECT_TRUE(store::MData::Rs->IsOpen()) << "the report's rows stay open after the preview";
    EXPECT_EQ(DRPelorin().dataSource, store::MData::Rs);
}

// Under a filter the report prints the shown loans only, still in title order, and the
// preview's title says that a filter is on.
TEST_F(ReportPdfTest, AFilteredListPrintsOnlyItsShownLoans)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"ياقوت الحموي", "مؤلف", "أحمد", "2020/01/05", kNotReturned, ""},
                                      {"الأغاني", "الأصفهاني", "خالد", "2021/03/04", kNotReturned, ""},
                                      {"تاريخ الطبري", "الطبري", "احمد", "2019/11/30", kNotReturned, ""}}));
    FrmMain main;
    main.Form_Load();
    main.TxtFind_Change(QStringLiteral("احمد"));
    QString caption;
    QTimer::singleShot(0, [&] {
        if (QWidget* preview = QApplication::activeModalWidget())
            caption = preview->windowTitle(), preview->close();
    });
    main.ImgReport_Click();
    EXPECT_EQ(caption, QStringLiteral("Pelorin - معاينة قبل الطباعة (نتائج البحث: 2 من 3)"));

    LoanSelection shown{{main.model->IdAt(0), main.model->IdAt(1)}, 3};
    ASSERT_TRUE(RenderLoanReportPdf(pdf, QStringLiteral("مكتبتي"), &shown));
    const QString page = pages().value(0);
    EXPECT_FALSE(page.contains(plain(QStringLiteral("الأغاني"))));
    const qsizetype first = page.indexOf(plain(QStringLiteral("تاريخ الطبري")));
    EXPECT_GE(first, 0);
    EXPECT_LT(first, page.indexOf(plain(QStringLiteral("ياقوت الحموي"))));
}

// The window's command saves the report of the loans the list shows, from either menu or its
// keys; a file that cannot be written is named, and the file that was there stays whole.
TEST_F(ReportPdfTest, TheWindowSavesTheShownLoansAndAFailedSaveKeepsTheEarlierFile)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"الأيام", "طه حسين", "أحمد", "2024/01/15", kNotReturned, ""},
                                      {"البخلاء", "الجاحظ", "سالم", "2024/02/01", kNotReturned, ""}}));
    FrmMain main;
    main.Form_Load();
    main.TxtFind_Change(QStringLiteral("احمد"));
    QAction* save = nullptr;
    for (QAction* a : main.ListMenu->actions())
        if (a->text() == QStringLiteral("حفظ التقرير بصيغة PDF…")) save = a;
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(main.HelpMenu->actions().contains(save));
    EXPECT_EQ(save->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                                                      QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key(0x0633))}));

    QString suggested, answer = pdf;
    const SavePathChooser saved = ChooseReportPdf();
    ChooseReportPdf() = [&](QWidget*, const QString& s) { return suggested = s, answer; };
    fake.messages.clear();
    save->trigger();
    EXPECT_TRUE(suggested.endsWith(QStringLiteral("/2024-03-10 تقرير الإعارات.pdf")))
        << suggested.toStdString();
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.startsWith(QStringLiteral("تم حفظ التقرير في الملف:")))
        << fake.messages[0].text.toStdString();
    const QString page = pages().value(0);
    EXPECT_TRUE(page.contains(plain(QStringLiteral("الأيام"))));
    EXPECT_FALSE(page.contains(plain(QStringLiteral("البخلاء"))));

    // Past the process's file-size limit (which binds root as well) the save fails.
    QFile::remove(pdf);
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 2048;
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    save->trigger();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    ChooseReportPdf() = saved;
    ASSERT_EQ(fake.messages.size(), 2);
    EXPECT_EQ(fake.messages[1].title, QStringLiteral("خطأ"));
    EXPECT_TRUE(fake.messages[1].text.startsWith(QStringLiteral("تعذر حفظ التقرير في الملف:")));
    EXPECT_TRUE(fake.messages[1].text.contains(pdf));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.pdf*")}, QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("report.pdf")});
}

// The preview saves what it shows from its tool bar, and the print dialog's "print to file" gives
// the same PDF, its text as letters, not Qt's PDF of glyph shapes.
TEST_F(ReportPdfTest, ThePreviewSavesAndPrintsToAFileWithThePdfWriter)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                     {{"الأيام", "طه حسين", "أحمد", "2024/01/15", kNotReturned, ""}}));
    FrmMain main;
    bool hasTool = false;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!preview) return;
        for (QAction* a : preview->findChild<QToolBar*>()->actions())
            hasTool |= a->text() == QStringLiteral("حفظ التقرير بصيغة PDF…");
        // What the print dialog sets when the owner picks "print to file".
        preview->printer()->setOutputFormat(QPrinter::PdfFormat);
        preview->printer()->setOutputFileName(pdf);
        preview->findChild<QPrintPreviewWidget*>()->print();
        preview->reject();
    });
    main.ImgReport_Click();
    EXPECT_TRUE(hasTool);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished();
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Creator: *Pelorin\\n"))));
    EXPECT_TRUE(pages().value(0).contains(plain(QStringLiteral("الأيام"))));
}

} // namespace
