// Where a banded report puts everything, decided once for every way of drawing it: the report
// header on the first page, the page header at the top of every page, as many detail rows as
// fit, the page footer at the bottom of every page and the report footer after the last row;
// each control's box on the paper, its text, and how a text too wide for its box is set.
#pragma once

#include <QRectF>
#include <QString>

#include <functional>
#include <map>
#include <vector>

#include "report_design.h"

namespace pelorin::report {

constexpr qreal kTwipsPerInch = 1440.0;

// Told after each page with the pages done and their number; false stops the rendering.
using ReportProgress = std::function<bool(int done, int pages)>;

struct PlacedBand {
    const ReportBand* band = nullptr;
    int top = 0;  // twips below the top margin
    int row = -1; // the data row of a detail band
};

struct ReportPage {
    std::vector<PlacedBand> bands;
};

// Splits the report over pages whose printable height (between the top and bottom margins)
// is pageHeight twips. A detail row never straddles two pages; a page too short for any row
// still takes one, so that every row is printed.
std::vector<ReportPage> Paginate(const ReportDesign& design, int rowCount, int pageHeight);

// The printable height of paper paperHeight twips high, between the design's margins.
int PageHeight(const ReportDesign& design, qreal paperHeight);

// The text a control shows for a row.
QString ControlText(const ReportControl& control, const ReportData& data, int row);

// A control as a page shows it, in twips from the paper's top left corner: its box, and the room
// its text may take (the box less a padding at either side, so that neighbouring texts never touch).
struct PageCell {
    const ReportControl* control = nullptr;
    QRectF box;
    QRectF room;
    QString text;
};

// The cells of the pages of one rendering; each field's column is looked up by name once.
class PageCells {
public:
    PageCells(const ReportDesign& design, const ReportData& data) : design_(design), data_(data) {}
    // The page's cells in drawing order: band by band, each band's controls in the design's order.
    const std::vector<PageCell>& Of(const ReportPage& page);

private:
    const ReportDesign& design_;
    const ReportData& data_;
    std::map<const ReportControl*, int> fields_;
    std::vector<PageCell> cells_;
};

// The share of its size a text of this width is set at to fit its room: 1 when it fits, else
// smaller, but never below three quarters; a text still too wide is then cut short with an
// ellipsis.
qreal FitScale(qreal textWidth, qreal roomWidth);

// Whether a text is drawn as one plain line (no tab, line break or other control character).
bool IsPlainLine(const QString& text);

// Whether a cell's text may be drawn without a clip: a plain line that fits, with no blank at
// either end (blanks at an end move its last glyph a fraction past the room's edge).
bool FitsUnclipped(const QString& text, bool tooWide);

} // namespace pelorin::report
