#include "style.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace pelorin::chrome {

QFont ArabicFont(qreal pointSize, bool bold)
{
    QFont f;
    f.setFamilies({QStringLiteral("Noto Sans Arabic UI"), QStringLiteral("Noto Naskh Arabic UI"),
                   QStringLiteral("Noto Sans Arabic"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("DejaVu Sans")});
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QCursor HandCursor()
{
    static const QCursor cursor = [] {
        QPixmap hand(QStringLiteral(":/pelorin/hand.png"));
        if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
        return QCursor(hand, 6, 0);
    }();
    return cursor;
}

void SetHandCursor(QWidget* w) { w->setCursor(HandCursor()); }

QString WindowStyleSheet()
{
    return QStringLiteral(
        "QDialog, QMainWindow { background: rgb(128,0,128); }"
        "QLabel { color: white; background: transparent; }"
        "QGroupBox { color: white; border: 1px solid rgb(255,192,255); margin-top: 8px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top right; padding: 0 4px; }"
        "QPushButton { background: rgb(255,192,255); color: black; border: 1px solid rgb(90,0,90);"
        " border-radius: 3px; }"
        "QPushButton:pressed { background: rgb(235,160,235); }"
        "QPushButton:disabled { color: rgb(140,110,140); }"
        "QRadioButton { color: white; }");
}

} // namespace pelorin::chrome
