// How the banded report flows over pages, and how a cell keeps its text inside its column.
#include <QImage>
#include <QPainter>
#include <QTextOption>

#include <gtest/gtest.h>

#include "drpelorin.h"
#include "report_render.h"
#include "style.h"

using namespace pelorin::report;
using pelorin::ledger::MakeDRPelorin;

namespace {

// A4 height less the design's top and bottom margins.
constexpr int kA4Body = 16838 - 1200;

struct FlowCase {
    const char* name;
    int rows;
    int pageHeight;
};

class FlowTest : public ::testing::TestWithParam<FlowCase> {};

// The invariants every layout keeps, whatever the number of rows or the page height.
TEST_P(FlowTest, EveryRowOnceInOrderUnderAPageHeader)
{
    const FlowCase c = GetParam();
    const ReportDesign d = MakeDRPelorin();
    const ReportBand* footer = d.BandOf(BandKind::PageFooter);
    const std::vector<ReportPage> pages = Paginate(d, c.rows, c.pageHeight);
    ASSERT_FALSE(pages.empty());

    int nextRow = 0;
    for (size_t i = 0; i < pages.size(); ++i) {
        const auto& bands = pages[i].bands;
        SCOPED_TRACE(testing::Message() << "page " << i + 1);
        size_t k = 0;
        if (i == 0) {
            ASSERT_EQ(bands[k].band->kind, BandKind::ReportHeader);
            EXPECT_EQ(bands[k++].top, 0);
        }
        ASSERT_EQ(bands[k].band->kind, BandKind::PageHeader);
        EXPECT_EQ(bands[k].top, i == 0 ? d.BandOf(BandKind::ReportHeader)->height : 0);
        ++k;
        int rowsHere = 0;
        for (; k < bands.size() && bands[k].band->kind == BandKind::Detail; ++k, ++rowsHere) {
            EXPECT_EQ(bands[k].row, nextRow++);
            // Rows stay above the page footer, unless a page is too short for even one.
            if (rowsHere > 0) {
                EXPECT_LE(bands[k].top + bands[k].band->height, c.pageHeight - footer->height);
            }
        }
        if (i + 1 == pages.size()) {
            ASSERT_LT(k, bands.size());
            EXPECT_EQ(bands[k++].band->kind, BandKind::ReportFooter);
        } else {
            EXPECT_GT(rowsHere, 0) << "a page without rows before the last one";
        }
        ASSERT_EQ(k + 1, bands.size());
        EXPECT_EQ(bands[k].band->kind, BandKind::PageFooter);
        EXPECT_EQ(bands[k].top, c.pageHeight - footer->height);
    }
    EXPECT_EQ(nextRow, c.rows);
}

// First page of A4: (15638 - 1230 - 330 - 225) / 300 = 46 rows; later pages 50.
INSTANTIATE_TEST_SUITE_P(Report, FlowTest,
                         ::testing::Values(FlowCase{"empty", 0, kA4Body}, FlowCase{"one", 1, kA4Body},
                                           FlowCase{"firstPageFull", 46, kA4Body},
                                           FlowCase{"spillsOne", 47, kA4Body},
                                           FlowCase{"footerSpills", 45, kA4Body},
                                           FlowCase{"manyPages", 1000, kA4Body},
                                           FlowCase{"pageShorterThanARow", 5, 600}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReportFlow, PageCountsFollowTheBandHeights)
{
    const ReportDesign d = MakeDRPelorin();
    EXPECT_EQ(Paginate(d, 0, kA4Body).size(), 1u);
    EXPECT_EQ(Paginate(d, 46, kA4Body).size(), 2u) << "the report footer no longer fits on page 1";
    EXPECT_EQ(Paginate(d, 44, kA4Body).size(), 1u);
    EXPECT_EQ(Paginate(d, 46 + 50 * 3, kA4Body).size(), 5u);
    EXPECT_EQ(Paginate(d, 46 + 50 * 3 - 3, kA4Body).size(), 4u);
}

TEST(ReportDesign, BandsAndControlsAreFoundWhateverTheCase)
{
    ReportDesign d = MakeDRPelorin();
    ReportBand* header = d.FindBand(QStringLiteral("section4"));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->kind, BandKind::ReportHeader);
    ASSERT_NE(header->FindControl(QStringLiteral("lblmain")), nullptr);
    EXPECT_EQ(header->FindControl(QStringLiteral("LblMain"))->width, 5100);
    EXPECT_EQ(d.FindBand(QStringLiteral("Section9")), nullptr);
    EXPECT_EQ(header->FindControl(QStringLiteral("Text1")), nullptr);
}

// Ink columns of a detail row painted at 96 dpi (15 twips a pixel) with one field of the
// given text and alignment at 1440..2880 twips (pixels 96..191).
struct Ink {
    int left = -1, right = -1, outside = 0, inside = 0;
};

Ink paintField(const QString& text, Qt::Alignment alignment = ReportControl().alignment)
{
    ReportDesign d;
    ReportBand detail{QStringLiteral("Detail"), BandKind::Detail, 300, {}};
    ReportControl field;
    field.name = QStringLiteral("Field");
    field.kind = ControlKind::Field;
    field.left = 1440, field.width = 1440, field.height = 300;
    field.dataField = QStringLiteral("T");
    field.fontSize = 11.25;
    field.alignment = alignment;
    detail.controls.push_back(field);
    d.bands.push_back(detail);
    ReportData data;
    data.fields = {QStringLiteral("T")};
    data.rows = {{text}};

    QImage img(3 * 96, 40, QImage::Format_RGB32);
    img.setDotsPerMeterX(3780);
    img.setDotsPerMeterY(3780);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        PaintPage(p, d, data, ReportPage{{PlacedBand{&d.bands[0], 0, 0}}});
    }
    Ink ink;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (qGray(img.pixel(x, y)) > 200) continue;
            if (x < 96 || x >= 192) {
                ++ink.outside;
                continue;
            }
            ++ink.inside;
            if (ink.left < 0 || x < ink.left) ink.left = x;
            ink.right = std::max(ink.right, x);
        }
    return ink;
}

TEST(ReportCells, AlignmentIsAbsoluteWhateverTheWritingDirection)
{
    // Right-aligned text ends within the cell padding (60 twips = 4 px) of the right edge.
    for (const QString& text : {QStringLiteral("كتاب"), QStringLiteral("2024/01/05")}) {
        SCOPED_TRACE(text.toStdString());
        const Ink right = paintField(text, Qt::AlignRight | Qt::AlignVCenter);
        EXPECT_GE(right.right, 191 - 6);
        EXPECT_GT(right.left, 96 + 8); // and does not start at the left edge
        const Ink centred = paintField(text, Qt::AlignHCenter | Qt::AlignVCenter);
        EXPECT_NEAR((centred.left + centred.right) / 2.0, 144, 3);
    }
}

// Paints a detail row whose first field is far too long for its column and checks that no
// ink lands in the empty neighbouring column.
TEST(ReportCells, LongTextStaysInsideItsColumn)
{
    const QString arabic = QStringLiteral("عنوان طويل جدا لا يتسع في عموده أبدا مهما صغر الخط");
    const QString latin = QStringLiteral("A title far too long to fit in a single column");
    for (const QString& text : {arabic, latin}) {
        SCOPED_TRACE(text.toStdString());
        const Ink ink = paintField(text);
        EXPECT_GT(ink.inside, 20) << "the text was not drawn at all";
        EXPECT_EQ(ink.outside, 0);
    }
}

// Cells are drawn without a painter save and restore each, without Qt clipping an overflowing
// text a second time, and most texts that fit without a clip at all; the page must come out as
// drawing each text with its text option inside a clip of its own gives, whatever it holds.
TEST(ReportCells, TextsPrintAsWithTheirOwnClipAndTextOption)
{
    const qreal dpm = 3780 * 4; // 384 dpi: 3.75 twips a pixel
    auto canvas = [dpm] {
        QImage img(4 * 5 * 96, 4 * 40, QImage::Format_RGB32);
        img.setDotsPerMeterX(int(dpm));
        img.setDotsPerMeterY(int(dpm));
        img.fill(Qt::white);
        return img;
    };
    ReportDesign d;
    ReportBand detail{QStringLiteral("Detail"), BandKind::Detail, 300, {}};
    ReportControl field;
    field.kind = ControlKind::Field;
    field.left = 1440, field.width = 4320, field.height = 300;
    field.dataField = QStringLiteral("T");
    field.fontSize = 11.25;
    detail.controls.push_back(field);
    d.bands.push_back(detail);
    for (const QString& text :
         {QStringLiteral("تبويب\tهنا"), QStringLiteral("سطر\nثان"), QStringLiteral("a\rb"),
          QStringLiteral("كتاب  "), QStringLiteral("  كتاب"), QStringLiteral("Mixed عربي 12"),
          QStringLiteral("١٢٣ 2024/01/05"), QStringLiteral("أَحْمَدُ")}) {
        SCOPED_TRACE(text.toStdString());
        ReportData data;
        data.fields = {QStringLiteral("T")};
        data.rows = {{text}};
        QImage painted = canvas(), expected = canvas();
        {
            QPainter p(&painted);
            PaintPage(p, d, data, ReportPage{{PlacedBand{&d.bands[0], 0, 0}}});
        }
        {
            QPainter p(&expected);
            const qreal px = 4 * 96 / 1440.0;
            const QRectF inner((1440 + 60) * px, 0, (4320 - 120) * px, 300 * px);
            QTextOption option(field.alignment | Qt::AlignAbsolute);
            option.setWrapMode(QTextOption::NoWrap);
            option.setTextDirection(Qt::RightToLeft);
            p.setClipRect(inner);
            p.setFont(pelorin::chrome::ArabicFont(11.25));
            p.drawText(inner, text, option);
        }
        EXPECT_TRUE(painted == expected);
    }
}

} // namespace
