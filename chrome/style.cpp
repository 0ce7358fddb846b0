#include "style.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QWidget>

namespace pelorin::chrome {

namespace {

qreal screenRatio()
{
    return qGuiApp ? qMax<qreal>(1.0, qGuiApp->devicePixelRatio()) : 1.0;
}

QPixmap renderPicture(const QString& name, const QSize& logicalSize, qreal ratio)
{
    const QString base = QStringLiteral(":/pelorin/") + name;
    const QString svgName = base + QStringLiteral(".svg");
    QSvgRenderer svg;
    if (QFile::exists(svgName) && svg.load(svgName)) {
        const QSize logical = logicalSize.isEmpty() ? svg.defaultSize() : logicalSize;
        if (logical.isEmpty()) return QPixmap();
        QImage image((QSizeF(logical) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
        }
        image.setDevicePixelRatio(ratio);
        return QPixmap::fromImage(image);
    }
    const QString png = base + QStringLiteral(".png");
    if (!QFile::exists(png)) return QPixmap();
    QPixmap p(png);
    if (p.isNull() || logicalSize.isEmpty()) return p;
    p = p.scaled((QSizeF(logicalSize) * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.setDevicePixelRatio(ratio);
    return p;
}

} // namespace

QPixmap Picture(const QString& name, const QSize& logicalSize)
{
    // Windows ask for the same few pictures over and over (every button press swaps one in).
    static QHash<QString, QPixmap> cache;
    const qreal ratio = screenRatio();
    const QString key =
        QStringLiteral("%1|%2x%3|%4").arg(name).arg(logicalSize.width()).arg(logicalSize.height()).arg(ratio);
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
    const QPixmap p = renderPicture(name, logicalSize, ratio);
    cache.insert(key, p);
    return p;
}

QIcon AppIcon()
{
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QPixmap p = Picture(QStringLiteral("app_icon"), QSize(side, side));
        if (!p.isNull()) icon.addPixmap(p);
    }
    return icon;
}

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
        const QPixmap hand = Picture(QStringLiteral("hand"), QSize(32, 32));
        if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
        return QCursor(hand, 6, 0);
    }();
    return cursor;
}

void SetHandCursor(QWidget* w)
{
    w->setCursor(HandCursor());
}

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

QString EntryStyleSheet()
{
    return QStringLiteral(
        "QLineEdit { color: rgb(128,0,128); background: white; border: 1px solid rgb(90,0,90);"
        " selection-background-color: rgb(128,0,128); selection-color: white; }");
}

QString ListStyleSheet()
{
    return QStringLiteral(
        "QTableView { background: white; color: black; gridline-color: rgb(215,190,215); border: none;"
        " selection-background-color: rgb(128,0,128); selection-color: white; }"
        "QHeaderView::section { background: rgb(255,192,255); color: rgb(90,0,90); border: none;"
        " border-left: 1px solid rgb(200,140,200); border-bottom: 1px solid rgb(200,140,200); padding: 0 "
        "3px; }");
}

} // namespace pelorin::chrome
