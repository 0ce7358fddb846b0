#include "banner.h"

#include <QPainter>

#include "style.h"

namespace pelorin::startup {

QPixmap BannerPicture(int index)
{
    const QString name = index == 1 ? QStringLiteral("banner_a") : QStringLiteral("banner_b");
    const QPixmap art = chrome::Picture(name, kBannerSize);
    if (!art.isNull()) return art;

    QPixmap p(kBannerSize);
    const QColor back = index == 1 ? chrome::kLightPink : QColor(90, 0, 90);
    const QColor fore = index == 1 ? QColor(90, 0, 90) : chrome::kLightPink;
    p.fill(back);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(fore);
    painter.drawRect(p.rect().adjusted(0, 0, -1, -1));
    painter.setFont(chrome::ArabicFont(14, true));
    painter.drawText(p.rect(), Qt::AlignCenter, QStringLiteral("Pelorin"));
    return p;
}

} // namespace pelorin::startup
