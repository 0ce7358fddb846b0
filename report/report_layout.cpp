#include "report_layout.h"

#include <algorithm>
#include <utility>

namespace pelorin::report {

namespace {

// Space kept between a cell's edge and its text.
constexpr int kCellPadding = 60;
// A text too wide for its cell is first set smaller, down to this share of its size.
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

int PageHeight(const ReportDesign& design, qreal paperHeight)
{
    return int(paperHeight) - design.topMargin - design.bottomMargin;
}

QString ControlText(const ReportControl& control, const ReportData& data, int row)
{
    if (control.kind == ControlKind::Label) return control.caption;
    return row < 0 ? QString() : data.Value(row, data.FieldIndex(control.dataField));
}

const std::vector<PageCell>& PageCells::Of(const ReportPage& page)
{
    cells_.clear();
    for (const PlacedBand& placed : page.bands) {
        const int bandTop = design_.topMargin + placed.top;
        for (const ReportControl& c : placed.band->controls) {
            PageCell cell;
            cell.control = &c;
            cell.box = QRectF(design_.leftMargin + c.left, bandTop + c.top, c.width, c.height);
            cell.room = cell.box.adjusted(kCellPadding, 0, -kCellPadding, 0);
            if (c.kind == ControlKind::Label) {
                cell.text = c.caption;
            } else if (placed.row >= 0) {
                auto it = fields_.find(&c);
                if (it == fields_.end()) it = fields_.emplace(&c, data_.FieldIndex(c.dataField)).first;
                cell.text = data_.Value(placed.row, it->second);
            }
            cells_.push_back(std::move(cell));
        }
    }
    return cells_;
}

qreal FitScale(qreal textWidth, qreal roomWidth)
{
    if (textWidth <= roomWidth) return 1;
    // Glyph advances do not scale exactly with the size, so aim a little below the width.
    return std::max(kSmallestShrink, 0.98 * roomWidth / textWidth);
}

bool IsPlainLine(const QString& text)
{
    return std::none_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() < 0x20; });
}

bool FitsUnclipped(const QString& text, bool tooWide)
{
    return !tooWide && IsPlainLine(text) && !text.isEmpty() && !text.front().isSpace() &&
           !text.back().isSpace();
}

} // namespace pelorin::report
