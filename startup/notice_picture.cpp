#include "notice_picture.h"

#include <QPainter>

#include "style.h"

namespace pelorin::startup {

const QStringList& NoticeLines()
{
    static const QStringList lines = {
        QStringLiteral("للأسف نظام الحاسب عندك لا يدعم اللغة العربية"),
        QStringLiteral("لذا لن تتمكن من استخدام البرنامج"),
        QStringLiteral("إن أردت أن تتعرف كيف يتم دعم اللغة العربية"),
        QStringLiteral("في أنظمة الحاسب التي لا تدعم اللغة العربية"),
        QStringLiteral("نرجو منك أن تتكرم بالنقر هنا"),
    };
    return lines;
}

QPixmap RenderNotice(const QStringList& lines, const QSize& size)
{
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    if (lines.isEmpty()) return picture;

    // The largest size at which every line fits across and all lines fit down, with a margin.
    const int margin = 8;
    const int gap = 4;
    QFont font = chrome::ArabicFont(14, true);
    for (qreal pt = 14; pt >= 6; pt -= 0.5) {
        font = chrome::ArabicFont(pt, true);
        const QFontMetrics fm(font);
        int widest = 0;
        for (const QString& line : lines)
            widest = qMax(widest, fm.horizontalAdvance(line));
        const int tall = int(lines.size()) * fm.height() + (int(lines.size()) - 1) * gap;
        if (widest <= size.width() - 2 * margin && tall <= size.height() - 2 * margin) break;
    }

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setLayoutDirection(Qt::RightToLeft);
    painter.setFont(font);
    const QFontMetrics fm(font);
    const int count = int(lines.size());
    const int tall = count * fm.height() + (count - 1) * gap;
    int y = (size.height() - tall) / 2;
    for (int i = 0; i < count; ++i) {
        // The last line is the link: it takes the title colour so that it reads as clickable.
        painter.setPen(i == count - 1 ? chrome::kLightPink : chrome::kWhite);
        painter.drawText(QRect(0, y, size.width(), fm.height()), Qt::AlignHCenter | Qt::AlignVCenter,
                         lines.at(i));
        y += fm.height() + gap;
    }
    return picture;
}

} // namespace pelorin::startup
