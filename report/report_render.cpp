#include "report_render.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextOption>

#include "style.h"

#include <algorithm>
#include <map>
#include <utility>

namespace pelorin::report {

namespace {

constexpr qreal kTwipsPerInch = 1440.0;
// Space kept between a cell's edge and its text, so that neighbouring texts never touch.
constexpr int kCellPadding = 60;
// A text too wide for its cell is first set smaller, down to this share of its size, and
// only then cut short with an ellipsis.
constexpr qreal kSmallestShrink = 0.75;

int heightOf(const ReportBand* band)
{
    return band ? band->height : 0;
}

class PageBuilder {
public:
    PageBuilder(const ReportDesign& d, int pageHeight)
        : pageHeader_(d.BandOf(BandKind::PageHeader)), pageFooter_(d.BandOf(BandKind::PageFooter)),
          bottom_(pageHeight - heightOf(pageFooter_))
    {
    }

    void place(const ReportBand* band, int row = -1)
    {
        if (!band) return;
        current_.bands.push_back({band, y_, row});
        y_ += band->height;
        if (row >= 0) ++rowsOnPage_;
    }
    bool fits(const ReportBand* band) const { return y_ + heightOf(band) <= bottom_; }
    bool hasRows() const { return rowsOnPage_ > 0; }

    void startPage(bool first, const ReportBand* reportHeader)
    {
        current_ = {};
        y_ = 0;
        rowsOnPage_ = 0;
        if (first) place(reportHeader);
        place(pageHeader_);
    }
    void finishPage()
    {
        if (pageFooter_) current_.bands.push_back({pageFooter_, bottom_, -1});
        pages_.push_back(std::move(current_));
    }
    std::vector<ReportPage> take() { return std::move(pages_); }

private:
    const ReportBand* pageHeader_;
    const ReportBand* pageFooter_;
    int bottom_;
    int y_ = 0;
    int rowsOnPage_ = 0;
    ReportPage current_;
    std::vector<ReportPage> pages_;
};

qreal scaleOf(const QPaintDevice* device)
{
    return device->logicalDpiX() / kTwipsPerInch;
}

QRectF deviceRect(qreal scale, int left, int top, int width, int height)
{
    return QRectF(left * scale, top * scale, width * scale, height * scale);
}

// The fonts of a rendering with their metrics on its device, the width of every text measured
// so far, and where each field's texts lie: made once rather than for every cell (a ledger's
// dates, durations and names repeat down the pages).
class CellFonts {
public:
    struct Face {
        QFont font;
        QFontMetricsF metrics;
        QHash<QString, qreal> widths;

        qreal width(const QString& text)
        {
            auto it = widths.constFind(text);
            if (it == widths.cend()) it = widths.insert(text, metrics.horizontalAdvance(text));
            return *it;
        }
    };

    // The column of the data a field reads, looked up by name once.
    int field(const ReportControl& c, const ReportData& data)
    {
        auto it = fields_.find(&c);
        if (it == fields_.end()) it = fields_.emplace(&c, data.FieldIndex(c.dataField)).first;
        return it->second;
    }

    Face& of(const ReportControl& c, const QPaintDevice* device)
    {
        const auto key = std::make_pair(c.fontSize, c.bold);
        auto it = faces_.find(key);
        if (it == faces_.end()) {
            const QFont font = chrome::ArabicFont(c.fontSize, c.bold);
            it = faces_.emplace(key, Face{font, QFontMetricsF(font, device), {}}).first;
        }
        return it->second;
    }

private:
    std::map<std::pair<qreal, bool>, Face> faces_;
    std::map<const ReportControl*, int> fields_;
};

// Draws text inside its cell: shrunk a little when it is too wide, then cut with an
// ellipsis, and always clipped to the cell so that it cannot spill into the next column.
void drawCellText(QPainter& p, const QRectF& cell, qreal padding, const QString& text, const ReportControl& c,
                  CellFonts& fonts)
{
    if (text.isEmpty()) return;
    const QRectF inner = cell.adjusted(padding, 0, -padding, 0);
    if (inner.width() <= 0) return;

    CellFonts::Face& face = fonts.of(c, p.device());
    QFont font = face.font;
    QString shown = text;
    const qreal width = face.width(text);
    const bool tooWide = width > inner.width();
    if (tooWide) {
        // Glyph advances do not scale exactly with the size, so aim a little below the width.
        const qreal shrink = std::max(kSmallestShrink, 0.98 * inner.width() / width);
        font.setPointSizeF(c.fontSize * shrink);
        const QFontMetricsF fm(font, p.device());
        if (fm.horizontalAdvance(shown) > inner.width())
            shown = fm.elidedText(text, Qt::ElideRight, inner.width());
    }
    const bool plain =
        std::none_of(shown.cbegin(), shown.cend(), [](QChar ch) { return ch.unicode() < 0x20; });

    // A plain text that fits is drawn unclipped: every change of clip has the PDF writer set its
    // whole state up again. Any other is clipped to its cell, replacing the last cell's clip
    // rather than saving and restoring the painter around it. (Blanks at an end of a text move
    // its last glyph a fraction past the cell's inner edge; tabs are laid out wider than measured.)
    if (!tooWide && plain && !text.front().isSpace() && !text.back().isSpace())
        p.setClipping(false);
    else
        p.setClipRect(inner, Qt::ReplaceClip);
    if (p.font() != font) p.setFont(font);
    // Right means the right edge here, not the trailing edge of right-to-left text.
    const int align = int(c.alignment | Qt::AlignAbsolute);
    if (plain) {
        // Qt would clip an overflowing text to the same cell once more, with a save and a
        // restore of its own; the flags say so (and right to left) without a text option.
        p.drawText(inner, align | Qt::TextDontClip | Qt::TextForceRightToLeft, shown);
    } else {
        // Tabs and line breaks are laid out differently in that form.
        QTextOption option{Qt::Alignment(align)};
        option.setWrapMode(QTextOption::NoWrap);
        option.setTextDirection(Qt::RightToLeft);
        p.drawText(inner, shown, option);
    }
}

void paintPage(QPainter& p, const ReportDesign& design, const ReportData& data, const ReportPage& page,
               CellFonts& fonts)
{
    const qreal scale = scaleOf(p.device());
    p.save();
    p.setPen(Qt::black);
    for (const PlacedBand& placed : page.bands) {
        const int bandTop = design.topMargin + placed.top;
        for (const ReportControl& c : placed.band->controls) {
            const QRectF cell =
                deviceRect(scale, design.leftMargin + c.left, bandTop + c.top, c.width, c.height);
            if (c.backColor) {
                p.setClipping(false);
                p.fillRect(cell, *c.backColor);
            }
            const QString text = c.kind == ControlKind::Label ? c.caption
                                 : placed.row < 0             ? QString()
                                                              : data.Value(placed.row, fonts.field(c, data));
            drawCellText(p, cell, kCellPadding * scale, text, c, fonts);
        }
    }
    p.restore();
}

} // namespace

std::vector<ReportPage> Paginate(const ReportDesign& design, int rowCount, int pageHeight)
{
    const ReportBand* reportHeader = design.BandOf(BandKind::ReportHeader);
    const ReportBand* detail = design.BandOf(BandKind::Detail);
    const ReportBand* reportFooter = design.BandOf(BandKind::ReportFooter);

    PageBuilder b(design, pageHeight);
    b.startPage(true, reportHeader);
    for (int row = 0; detail && row < rowCount; ++row) {
        if (!b.fits(detail) && b.hasRows()) {
            b.finishPage();
            b.startPage(false, reportHeader);
        }
        b.place(detail, row);
    }
    if (reportFooter && !b.fits(reportFooter) && b.hasRows()) {
        b.finishPage();
        b.startPage(false, reportHeader);
    }
    b.place(reportFooter);
    b.finishPage();
    return b.take();
}

QString ControlText(const ReportControl& control, const ReportData& data, int row)
{
    if (control.kind == ControlKind::Label) return control.caption;
    return row < 0 ? QString() : data.Value(row, data.FieldIndex(control.dataField));
}

void PaintPage(QPainter& p, const ReportDesign& design, const ReportData& data, const ReportPage& page)
{
    CellFonts fonts;
    paintPage(p, design, data, page, fonts);
}

void PreparePrinter(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool RenderReport(QPrinter& printer, const ReportDesign& design, const ReportData& data)
{
    // The page height the user picked in the preview counts, not the one set up here.
    const QRectF paper = printer.paperRect(QPrinter::Inch);
    const int pageHeight = int(paper.height() * kTwipsPerInch) - design.topMargin - design.bottomMargin;
    const std::vector<ReportPage> pages = Paginate(design, int(data.rows.size()), pageHeight);

    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    CellFonts fonts;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) return false;
        paintPage(painter, design, data, pages[i], fonts);
    }
    return painter.end();
}

} // namespace pelorin::report
