// pango's headers come first: Qt's keyword macros would clash with glib's.
#include <pango/pangocairo.h>

#include "pdf_text.h"

#include <QFont>

#include <algorithm>
#include <memory>

#include "report_layout.h"
#include "style.h"

namespace pelorin::report {

namespace {

struct GObjectUnref {
    void operator()(gpointer p) const { g_object_unref(p); }
};
struct FontDescriptionFree {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using Layout = std::unique_ptr<PangoLayout, GObjectUnref>;
using FontDescription = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

// The program's Arabic font with its fallbacks, as the printer draws the control; sizes are in
// points, which are the PDF's units.
FontDescription fontOf(const ReportControl& c, qreal size)
{
    FontDescription d(pango_font_description_new());
    const QFont font = chrome::ArabicFont(c.fontSize, c.bold);
    pango_font_description_set_family(d.get(), font.families().join(QLatin1Char(',')).toUtf8().constData());
    pango_font_description_set_weight(d.get(), c.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(d.get(), size * PANGO_SCALE);
    return d;
}

QRectF pointsOf(const PangoRectangle& r)
{
    return QRectF(qreal(r.x) / PANGO_SCALE, qreal(r.y) / PANGO_SCALE, qreal(r.width) / PANGO_SCALE,
                  qreal(r.height) / PANGO_SCALE);
}

QRectF logicalExtents(PangoLayout* layout)
{
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return pointsOf(logical);
}

// A glyph as pango placed it, and the byte of the text where its cluster starts.
struct PlacedGlyph {
    PangoGlyph index;
    int x, y;
    int cluster;
};

// One pango run: glyphs of one font and one direction, in logical order.
struct Piece {
    PangoFont* font;
    int start, end; // bytes of the text
    bool ellipsis;
    std::vector<PlacedGlyph> glyphs;
};

bool drawable(PangoGlyph g)
{
    // Tabs, line ends and other invisible characters have no glyph; neither does a character no
    // font holds (pango would draw its code in a box).
    return g != PANGO_GLYPH_EMPTY && !(g & PANGO_GLYPH_UNKNOWN_FLAG);
}

} // namespace

PdfText::PdfText(cairo_t* cr) : cr_(cr)
{
    context_ = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_cairo_update_context(cr_, context_);
    // Outlines as designed: no hinting, no glyph positions rounded to whole device units.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context_, FALSE);
    pango_context_set_base_dir(context_, PANGO_DIRECTION_RTL);
}

PdfText::~PdfText()
{
    for (cairo_scaled_font_t* f : std::as_const(fonts_))
        cairo_scaled_font_destroy(f);
    g_object_unref(context_);
}

cairo_scaled_font_t* PdfText::hold(cairo_scaled_font_t* font)
{
    if (!fonts_.contains(font)) fonts_.insert(cairo_scaled_font_reference(font));
    return font;
}

const PdfText::Shaped& PdfText::shape(const QString& text, const ReportControl& c, qreal roomWidth)
{
    QHash<QString, Shaped>& texts = shaped_[{c.fontSize, c.bold, roomWidth}];
    auto found = texts.constFind(text);
    if (found != texts.cend()) return *found;

    Layout layout(pango_layout_new(context_));
    // Right-to-left text, aligned by the edges of the room, not by the writing direction.
    pango_layout_set_auto_dir(layout.get(), FALSE);
    pango_layout_set_alignment(layout.get(), (c.alignment & Qt::AlignRight)     ? PANGO_ALIGN_RIGHT
                                             : (c.alignment & Qt::AlignHCenter) ? PANGO_ALIGN_CENTER
                                                                                : PANGO_ALIGN_LEFT);
    pango_layout_set_font_description(layout.get(), fontOf(c, c.fontSize).get());
    const QByteArray utf8 = text.toUtf8();
    pango_layout_set_text(layout.get(), utf8.constData(), int(utf8.size()));

    Shaped s;
    const qreal width = logicalExtents(layout.get()).width();
    const bool tooWide = width > roomWidth;
    if (tooWide) {
        pango_layout_set_font_description(layout.get(),
                                          fontOf(c, c.fontSize * FitScale(width, roomWidth)).get());
        if (logicalExtents(layout.get()).width() > roomWidth) {
            pango_layout_set_width(layout.get(), int(roomWidth * PANGO_SCALE));
            pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
        }
    }
    s.extents = logicalExtents(layout.get());
    s.clip = !FitsUnclipped(text, tooWide);
    s.runs = runsOf(layout.get(), utf8);
    return *texts.insert(text, std::move(s));
}

std::vector<PdfText::Run> PdfText::runsOf(PangoLayout* layout, const QByteArray& utf8)
{
    // pango gives each line's runs in visual order, left to right; readers take the text in the
    // order the PDF draws it, so the runs go in the order of the text, and so do the glyphs of a
    // right-to-left run.
    std::vector<Piece> pieces;
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    do {
        PangoLayoutRun* run = pango_layout_iter_get_run_readonly(it);
        if (!run) continue; // the end of a line
        PangoRectangle logical;
        pango_layout_iter_get_run_extents(it, nullptr, &logical);
        const int baseline = pango_layout_iter_get_baseline(it);
        const PangoItem* item = run->item;
        Piece piece{item->analysis.font,
                    item->offset,
                    item->offset + item->length,
                    (item->analysis.flags & PANGO_ANALYSIS_FLAG_IS_ELLIPSIS) != 0,
                    {}};
        int x = logical.x;
        for (int i = 0; i < run->glyphs->num_glyphs; ++i) {
            const PangoGlyphInfo& g = run->glyphs->glyphs[i];
            piece.glyphs.push_back({g.glyph, x + g.geometry.x_offset, baseline + g.geometry.y_offset,
                                    item->offset + run->glyphs->log_clusters[i]});
            x += g.geometry.width;
        }
        if (item->analysis.level % 2) std::reverse(piece.glyphs.begin(), piece.glyphs.end());
        pieces.push_back(std::move(piece));
    } while (pango_layout_iter_next_run(it));
    pango_layout_iter_free(it);
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece& a, const Piece& b) { return a.start < b.start; });

    std::vector<Run> runs;
    for (const Piece& piece : pieces) {
        cairo_scaled_font_t* font = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(piece.font));
        // Runs of one font next to each other in the text go to cairo together: a space alone
        // between runs of other directions would otherwise be a drawing of nothing, which cairo
        // leaves out of the PDF, and the words on either side would run together. The ellipsis
        // stands for itself (whether "…" or three dots), not for the text it hides.
        if (runs.empty() || runs.back().font != font || piece.ellipsis || runs.back().ellipsis)
            runs.push_back({hold(font), piece.ellipsis, {}, {}, {}});
        Run& run = runs.back();
        for (size_t i = 0; i < piece.glyphs.size();) {
            // A cluster: the glyphs that stand for one stretch of text, up to the next one's start.
            size_t next = i;
            while (next < piece.glyphs.size() && piece.glyphs[next].cluster == piece.glyphs[i].cluster)
                ++next;
            const int from = piece.glyphs[i].cluster;
            const int to =
                std::max(from, next < piece.glyphs.size() ? piece.glyphs[next].cluster : piece.end);
            cairo_text_cluster_t cluster{0, 0};
            for (size_t k = i; k < next; ++k) {
                if (!drawable(piece.glyphs[k].index)) continue;
                run.glyphs.push_back({piece.glyphs[k].index, qreal(piece.glyphs[k].x) / PANGO_SCALE,
                                      qreal(piece.glyphs[k].y) / PANGO_SCALE});
                ++cluster.num_glyphs;
            }
            // A cluster with nothing to draw leaves its text out: a tab or a line break is no text
            // a reader should find.
            if (cluster.num_glyphs > 0 && !run.ellipsis) {
                run.utf8 += utf8.mid(from, to - from);
                cluster.num_bytes = to - from;
                run.clusters.push_back(cluster);
            }
            i = next;
        }
    }
    runs.erase(std::remove_if(runs.begin(), runs.end(), [](const Run& r) { return r.glyphs.empty(); }),
               runs.end());
    return runs;
}

void PdfText::Draw(const QRectF& room, const QString& text, const ReportControl& c)
{
    if (text.isEmpty() || room.width() <= 0) return;
    const Shaped& s = shape(text, c, room.width());

    // Where the layout's top left corner goes for its text box to sit in the room as aligned.
    QPointF origin;
    if (c.alignment & Qt::AlignRight)
        origin.setX(room.right() - s.extents.right());
    else if (c.alignment & Qt::AlignHCenter)
        origin.setX(room.center().x() - s.extents.center().x());
    else
        origin.setX(room.left() - s.extents.left());
    if (c.alignment & Qt::AlignTop)
        origin.setY(room.top() - s.extents.top());
    else if (c.alignment & Qt::AlignBottom)
        origin.setY(room.bottom() - s.extents.bottom());
    else
        origin.setY(room.center().y() - s.extents.center().y());

    if (s.clip) {
        Flush();
        cairo_save(cr_);
        cairo_rectangle(cr_, room.x(), room.y(), room.width(), room.height());
        cairo_clip(cr_);
    }
    for (const Run& run : s.runs) {
        placed_.assign(run.glyphs.begin(), run.glyphs.end());
        for (cairo_glyph_t& g : placed_) {
            g.x += origin.x();
            g.y += origin.y();
        }
        if (s.clip || run.ellipsis) {
            Flush();
            show(run, placed_);
            continue;
        }
        if (waiting_.font != run.font) Flush();
        waiting_.font = run.font;
        waiting_.glyphs.insert(waiting_.glyphs.end(), placed_.begin(), placed_.end());
        waiting_.utf8 += run.utf8;
        waiting_.clusters.insert(waiting_.clusters.end(), run.clusters.begin(), run.clusters.end());
    }
    if (s.clip) cairo_restore(cr_);
}

void PdfText::show(const Run& run, const std::vector<cairo_glyph_t>& glyphs)
{
    cairo_set_scaled_font(cr_, run.font);
    if (run.ellipsis)
        cairo_show_glyphs(cr_, glyphs.data(), int(glyphs.size()));
    else
        cairo_show_text_glyphs(cr_, run.utf8.constData(), int(run.utf8.size()), glyphs.data(),
                               int(glyphs.size()), run.clusters.data(), int(run.clusters.size()),
                               cairo_text_cluster_flags_t(0));
}

void PdfText::Flush()
{
    if (!waiting_.glyphs.empty()) show(waiting_, waiting_.glyphs);
    waiting_.glyphs.clear();
    waiting_.utf8.clear();
    waiting_.clusters.clear();
    waiting_.font = nullptr;
}

} // namespace pelorin::report
