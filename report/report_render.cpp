#include "report_render.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextOption>

#include "style.h"

#include <map>
#include <utility>

namespace pelorin::report {

namespace {

qreal scaleOf(const QPaintDevice* device)
{
    return device->logicalDpiX() / kTwipsPerInch;
}

QRectF onDevice(const QRectF& twips, qreal scale)
{
    return QRectF(twips.topLeft() * scale, twips.size() * scale);
}

// The fonts of a rendering with their metrics on its device, and the width of every text
// measured so far: made once rather than for every cell (a ledger's dates, durations and names
// repeat down the pages).
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
};

// Draws text inside its room: shrunk a little when it is too wide, then cut with an ellipsis,
// and clipped to the room whenever it could spill into the next column.
void drawCellText(QPainter& p, const QRectF& inner, const QString& text, const ReportControl& c,
                  CellFonts& fonts)
{
    if (text.isEmpty() || inner.width() <= 0) return;

    CellFonts::Face& face = fonts.of(c, p.device());
    QFont font = face.font;
    QString shown = text;
    const qreal width = face.width(text);
    const bool tooWide = width > inner.width();
    if (tooWide) {
        font.setPointSizeF(c.fontSize * FitScale(width, inner.width()));
        const QFontMetricsF fm(font, p.device());
        if (fm.horizontalAdvance(shown) > inner.width())
            shown = fm.elidedText(text, Qt::ElideRight, inner.width());
    }

    // Every change of clip has the PDF writer set its whole state up again, so a text that fits
    // goes unclipped, and any other replaces the last cell's clip rather than saving and
    // restoring the painter around it. (Tabs are laid out wider than measured.)
    if (FitsUnclipped(text, tooWide))
        p.setClipping(false);
    else
        p.setClipRect(inner, Qt::ReplaceClip);
    if (p.font() != font) p.setFont(font);
    // Right means the right edge here, not the trailing edge of right-to-left text.
    const int align = int(c.alignment | Qt::AlignAbsolute);
    if (IsPlainLine(shown)) {
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

void paintPage(QPainter& p, const std::vector<PageCell>& cells, CellFonts& fonts)
{
    const qreal scale = scaleOf(p.device());
    p.save();
    p.setPen(Qt::black);
    for (const PageCell& cell : cells) {
        if (cell.control->backColor) {
            p.setClipping(false);
            p.fillRect(onDevice(cell.box, scale), *cell.control->backColor);
        }
        drawCellText(p, onDevice(cell.room, scale), cell.text, *cell.control, fonts);
    }
    p.restore();
}

} // namespace

void PaintPage(QPainter& p, const ReportDesign& design, const ReportData& data, const ReportPage& page)
{
    CellFonts fonts;
    PageCells cells(design, data);
    paintPage(p, cells.Of(page), fonts);
}

void PreparePrinter(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool RenderReport(QPrinter& printer, const ReportDesign& design, const ReportData& data,
                  const ReportProgress& progress)
{
    // The page height the user picked in the preview counts, not the one set up here.
    const qreal paper = printer.paperRect(QPrinter::Inch).height() * kTwipsPerInch;
    const std::vector<ReportPage> pages = Paginate(design, int(data.rows.size()), PageHeight(design, paper));

    QPainter painter;
    if (!painter.begin(&printer)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    CellFonts fonts;
    PageCells cells(design, data);
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage()) return false;
        paintPage(painter, cells.Of(pages[i]), fonts);
        if (progress && !progress(int(i + 1), int(pages.size()))) {
            printer.abort();
            return false;
        }
    }
    return painter.end();
}

} // namespace pelorin::report
