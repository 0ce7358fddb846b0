#include <cairo-pdf.h>

#include "report_pdf.h"

#include <QIODevice>

#include <memory>

#include "pdf_text.h"
#include "pdf_unicode.h"

namespace pelorin::report {

namespace {

constexpr qreal kTwipsPerPoint = 20;

struct SurfaceDestroy {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDestroy {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

cairo_status_t append(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<QByteArray*>(closure)->append(reinterpret_cast<const char*>(data), qsizetype(length));
    return CAIRO_STATUS_SUCCESS;
}

QRectF inPoints(const QRectF& twips)
{
    return QRectF(twips.topLeft() / kTwipsPerPoint, twips.size() / kTwipsPerPoint);
}

void drawPage(cairo_t* cr, PdfText& text, const std::vector<PageCell>& cells)
{
    for (const PageCell& cell : cells) {
        if (const std::optional<QColor>& back = cell.control->backColor) {
            text.Flush();
            const QRectF box = inPoints(cell.box);
            cairo_set_source_rgb(cr, back->redF(), back->greenF(), back->blueF());
            cairo_rectangle(cr, box.x(), box.y(), box.width(), box.height());
            cairo_fill(cr);
        }
        cairo_set_source_rgb(cr, 0, 0, 0);
        text.Draw(inPoints(cell.room), cell.text, *cell.control);
    }
    text.Flush();
}

// Draws every page into a PDF in memory; false when progress stopped it or cairo failed.
bool drawPdf(QByteArray& pdf, const ReportDesign& design, const ReportData& data, const QPageLayout& paper,
             const PdfInfo& info, const ReportProgress& progress)
{
    const QSizeF size = paper.fullRect(QPageLayout::Point).size();
    std::unique_ptr<cairo_surface_t, SurfaceDestroy> surface(
        cairo_pdf_surface_create_for_stream(append, &pdf, size.width(), size.height()));
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, info.title.toUtf8().constData());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR,
                                   info.creator.toUtf8().constData());
    {
        std::unique_ptr<cairo_t, ContextDestroy> cr(cairo_create(surface.get()));
        PdfText text(cr.get());
        PageCells cells(design, data);
        const std::vector<ReportPage> pages =
            Paginate(design, int(data.rows.size()), PageHeight(design, size.height() * kTwipsPerPoint));
        for (size_t i = 0; i < pages.size(); ++i) {
            drawPage(cr.get(), text, cells.Of(pages[i]));
            cairo_show_page(cr.get());
            if (progress && !progress(int(i + 1), int(pages.size()))) return false;
        }
        if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return false;
    }
    cairo_surface_finish(surface.get());
    return cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS;
}

} // namespace

QPageLayout DefaultPaper()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

bool WriteReportPdf(QIODevice& out, const ReportDesign& design, const ReportData& data,
                    const QPageLayout& paper, const PdfInfo& info, const ReportProgress& progress)
{
    QByteArray pdf;
    if (!drawPdf(pdf, design, data, paper, info, progress)) return false;
    QByteArray mended;
    // Should the mending fail, the PDF as drawn is still whole, and most of its text reads.
    const QByteArray& bytes = MendPresentationForms(pdf, mended) ? mended : pdf;
    return out.write(bytes) == bytes.size();
}

} // namespace pelorin::report
