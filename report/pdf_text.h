// The texts of a report drawn into a PDF: shaped by pango (joined Arabic, font fallback, the
// bidirectional order) and handed to cairo run by run in logical order, each glyph cluster with
// the text it stands for, so that readers copy, search and extract the text itself.
#pragma once

#include <QHash>
#include <QRectF>
#include <QSet>
#include <QString>

#include <map>
#include <tuple>
#include <vector>

#include <cairo.h>

typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;

namespace pelorin::report {

struct ReportControl;

class PdfText {
public:
    // Draws on cr, whose units are points (1/72 inch) with no transformation.
    explicit PdfText(cairo_t* cr);
    ~PdfText();
    PdfText(const PdfText&) = delete;
    PdfText& operator=(const PdfText&) = delete;

    // Draws a control's text in its room (points) as the printer does: aligned in the room, set
    // smaller when too wide, then cut short with an ellipsis, and clipped to the room whenever it
    // could spill into the next column.
    void Draw(const QRectF& room, const QString& text, const ReportControl& control);
    // Hands the texts drawn so far to cairo. Texts that need no clip wait and go together, as
    // few drawings as their fonts allow (each drawing costs cairo three passes): call this
    // before anything else is drawn over them and before the page ends.
    void Flush();

private:
    // Glyphs of one font, in logical order, with their text; an ellipsis's glyphs read as the
    // font names them.
    struct Run {
        cairo_scaled_font_t* font = nullptr;
        bool ellipsis = false;
        std::vector<cairo_glyph_t> glyphs; // from the layout's top left corner
        QByteArray utf8;
        std::vector<cairo_text_cluster_t> clusters;
    };
    struct Shaped {
        QRectF extents; // the text's logical box, from the layout's top left corner
        bool clip = false;
        std::vector<Run> runs;
    };

    const Shaped& shape(const QString& text, const ReportControl& control, qreal roomWidth);
    void show(const Run& run, const std::vector<cairo_glyph_t>& glyphs);
    std::vector<Run> runsOf(PangoLayout* layout, const QByteArray& utf8);
    cairo_scaled_font_t* hold(cairo_scaled_font_t* font);

    cairo_t* cr_;
    PangoContext* context_;
    // Shaped texts by font size, weight and room width: a ledger's dates, durations and names
    // repeat down the pages.
    std::map<std::tuple<qreal, bool, qreal>, QHash<QString, Shaped>> shaped_;
    QSet<cairo_scaled_font_t*> fonts_;
    Run waiting_;
    std::vector<cairo_glyph_t> placed_;
};

} // namespace pelorin::report
