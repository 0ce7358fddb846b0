// The report's PDF read by two readers we did not write, MuPDF's mutool and poppler's pdftotext:
// its text must come back as the letters typed, and its pages must look like the printer's.
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "drpelorin.h"
#include "qt_printers.h"
#include "report_pdf.h"
#include "report_render.h"

using namespace pelorin::report;

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A reader is wrong to give a presentation form, a replacement character or a control character
// other than the line and page breaks; the direction marks pdftotext puts around lines go first.
QString faultsIn(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("[\\x{202A}-\\x{202E}]")));
    QString faults;
    for (char32_t c : text.toUcs4())
        if ((c >= 0xFB50 && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF) || c == 0xFFFD ||
            (c < 0x20 && c != '\n' && c != '\f') || (c >= 0x7F && c < 0xA0))
            faults += QStringLiteral("U+%1 ").arg(uint(c), 4, 16, QLatin1Char('0'));
    return faults;
}

class PdfTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* reader : {"mutool", "pdftotext", "pdfinfo"})
            if (QStandardPaths::findExecutable(QLatin1String(reader)).isEmpty())
                GTEST_SKIP() << reader << " is not installed";
        pdf = dir.filePath(QStringLiteral("report.pdf"));
    }
    void TearDown() override
    {
        // Set PELORIN_SHOTS to a folder to keep the PDF.
        const QString keep = qEnvironmentVariable("PELORIN_SHOTS");
        if (!keep.isEmpty())
            QFile::copy(pdf,
                        QStringLiteral("%1/%2.pdf")
                            .arg(keep, QLatin1String(
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name())));
    }
    bool write(const ReportDesign& design, const ReportData& data)
    {
        QFile file(pdf);
        return file.open(QIODevice::WriteOnly) &&
               WriteReportPdf(file, design, data, DefaultPaper(),
                              {QStringLiteral("مكتبتي - قائمة"), QStringLiteral("Pelorin")});
    }
    QString mutool(const QStringList& args)
    {
        return run(QStringLiteral("mutool"), QStringList{"draw", "-q"} + args);
    }

    QTemporaryDir dir;
    QString pdf;
};

// Joined letters, lam-alef in its forms, tatweel, short vowels, both kinds of digits, Latin words
// and quotes, each a cell of its own, in right-to-left rows of three columns.
TEST_F(PdfTextTest, EveryCellReadsBackAsItsLettersInLogicalOrder)
{
    const QStringList cells = {
        "لا",        "الأيام",     "إلى الإسلام", "لآلئ الآن",        "كتـــاب",           "مُحَمَّدٌ",
        "١٢٣٤ صفحة", "2024/03/10", "Latin word",  "قال \"نعم\" «لا»", "كتاب Python الأول", "مكتبتي 12"};
    ReportDesign d;
    d.topMargin = d.leftMargin = 600;
    ReportBand detail{QStringLiteral("Detail"), BandKind::Detail, 400, {}};
    ReportData data;
    for (int c = 0; c < 3; ++c) {
        ReportControl field;
        field.kind = ControlKind::Field;
        field.left = 6400 - c * 3200, field.width = 3000, field.height = 400;
        field.dataField = data.fields.emplace_back(QStringLiteral("F%1").arg(c));
        detail.controls.push_back(field);
    }
    d.bands.push_back(detail);
    for (int r = 0; r < cells.size(); r += 3)
        data.rows.push_back({cells[r], cells[r + 1], cells[r + 2]});
    ASSERT_TRUE(write(d, data));

    const QString mu = mutool({"-F", "txt", "-o", "-", pdf});
    const QString poppler = run(QStringLiteral("pdftotext"), {"-enc", "UTF-8", pdf, "-"});
    EXPECT_EQ(faultsIn(mu), QString()) << mu.toStdString();
    EXPECT_EQ(faultsIn(poppler), QString()) << poppler.toStdString();
    // A font may draw shadda and a vowel as one glyph, read back in the canonical order of the two.
    // mutool breaks its line where a Latin word sits among Arabic ones: such a cell reads in
    // order, but across lines.
    const QString read = mu.normalized(QString::NormalizationForm_C);
    const QString unbroken = QString(read).remove(QRegularExpression(QStringLiteral("\\s")));
    for (QString cell : cells) {
        cell = cell.normalized(QString::NormalizationForm_C);
        const bool mixed = cell.contains(QRegularExpression(QStringLiteral("[a-z].*\\x{627}")));
        EXPECT_TRUE(mixed ? unbroken.contains(cell.remove(QLatin1Char(' '))) : read.contains(cell))
            << cell.toStdString() << " in\n"
            << mu.toStdString();
    }
    // poppler reverses the two letters of a lam-alef in right-to-left lines, whoever wrote the PDF,
    // and with some fonts splits a word at its tatweel; Latin and digits read as typed.
    EXPECT_TRUE(poppler.contains(QStringLiteral("Latin word")));
    EXPECT_TRUE(poppler.contains(QStringLiteral("2024/03/10")));

    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Title: *مكتبتي - قائمة\\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Creator: *Pelorin\\n"))))
        << info.toStdString();
}

// The first page of a ledger both ways, as mutool draws them at 96 dots an inch: the PDF, and
// what the printer is sent (Qt's PDF of the same report, which is how Qt prints here). Blurred
// over 4 pixels, text in the same place and size gives the same shade.
TEST_F(PdfTextTest, APageLooksLikeThePrintersPage)
{
    ReportDesign d = pelorin::ledger::MakeDRPelorin();
    d.FindBand(QStringLiteral("Section4"))->FindControl(QStringLiteral("LblMain"))->caption =
        QStringLiteral("مكتبة البيت");
    ReportData data;
    data.fields = {"NameBook", "NameWriter", "NameBorrower", "DateLoan", "DateReturn", "TimeLoan"};
    for (int i = 0; i < 20; ++i)
        data.rows.push_back({i == 3 ? QStringLiteral("كتاب العبر وديوان المبتدأ والخبر في أيام العرب والعجم")
                                    : QStringLiteral("الأيام %1").arg(i),
                             "طه حسين", "أَحْمَد", QStringLiteral("2024/01/%1").arg(i + 10),
                             i % 2 ? "لم يرد بعد" : "2024/02/01",
                             QStringLiteral("شهر واحد و%1 يوما").arg(i + 3)});
    ASSERT_TRUE(write(d, data));
    const QString printed = dir.filePath(QStringLiteral("printer.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        PreparePrinter(printer);
        ASSERT_TRUE(RenderReport(printer, d, data));
    }
    auto shades = [&](const QString& file) {
        mutool({"-r", "96", "-o", file + ".png", file, "1"});
        const QImage page(file + ".png");
        const QString keep = qEnvironmentVariable("PELORIN_SHOTS");
        if (!keep.isEmpty()) page.save(keep + QLatin1Char('/') + QFileInfo(file).baseName() + ".png");
        return page.convertToFormat(QImage::Format_Grayscale8)
            .scaled(page.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const QImage a = shades(pdf), b = shades(printed);
    ASSERT_FALSE(a.isNull());
    ASSERT_EQ(a.size(), b.size());
    int differ = 0, inked = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const int da = a.constScanLine(y)[x], db = b.constScanLine(y)[x];
            inked += da < 250 || db < 250;
            differ += std::abs(da - db) > 40;
        }
    EXPECT_GT(inked, 2000);
    EXPECT_LT(differ, inked / 50);
}

} // namespace
