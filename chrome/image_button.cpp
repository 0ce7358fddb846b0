#include "image_button.h"

#include <QMouseEvent>

#include "pressable.h"
#include "style.h"

namespace pelorin::chrome {

ImageButton::ImageButton(const QPixmap& up, const QPixmap& down, QWidget* parent)
    : QLabel(parent), up_(up), down_(down)
{
    setScaledContents(true);
    SetHandCursor(this);
    showPicture(false);
    // From the keyboard it runs as a left click does, and a screen reader reads it as a button.
    Pressable::Attach(
        this, [this] { emit clicked(); }, [this](bool down) { showPicture(down); });
}

ImageButton::ImageButton(const QString& pictureName, QWidget* parent)
    : ImageButton(Picture(pictureName + QStringLiteral("_up"), QSize(32, 32)),
                  Picture(pictureName + QStringLiteral("_down"), QSize(32, 32)), parent)
{
}

void ImageButton::setPictures(const QPixmap& up, const QPixmap& down)
{
    up_ = up;
    down_ = down;
    showPicture(pressedShown_);
}

void ImageButton::showPicture(bool pressed)
{
    pressedShown_ = pressed;
    setPixmap(pressed ? down_ : up_);
}

void ImageButton::mousePressEvent(QMouseEvent* e)
{
    showPicture(true);
    leftPress_ = e->button() == Qt::LeftButton && e->buttons() == Qt::LeftButton;
    emit pressed(e->button());
}

void ImageButton::mouseReleaseEvent(QMouseEvent* e)
{
    showPicture(false);
    emit released(e->button());
    const bool click =
        leftPress_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    leftPress_ = false;
    if (click) emit clicked();
}

} // namespace pelorin::chrome
