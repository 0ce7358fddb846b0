#include "frameless_window.h"

#include <QLabel>
#include <QMouseEvent>

#include "style.h"
#include "twips.h"

namespace pelorin::chrome {

namespace {
QPixmap picture(const QString& name, const QSize& fallbackSize, const QColor& fallback)
{
    QPixmap p(QStringLiteral(":/pelorin/") + name);
    if (p.isNull()) {
        p = QPixmap(fallbackSize);
        p.fill(fallback);
    }
    return p;
}
} // namespace

FramelessWindow::FramelessWindow(const ChromeLayout& layout, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setLayoutDirection(layout.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    setFixedSize(twSize(layout.clientWidth, layout.clientHeight));
    setWindowTitle(layout.title);
    setStyleSheet(WindowStyleSheet());
    setFont(ArabicFont(9.75));
    setMouseTracking(true);

    header_ = new QLabel(this);
    header_->setObjectName(QStringLiteral("ImgHeader"));
    header_->setScaledContents(true);
    header_->setPixmap(picture(QStringLiteral("header.png"), QSize(500, 22), QColor(80, 0, 80)));
    header_->setGeometry(0, 0, width(), tw(330));
    header_->setMouseTracking(true);
    header_->installEventFilter(this);

    title_ = new QLabel(layout.title, this);
    title_->setObjectName(QStringLiteral("LblMain"));
    title_->setAlignment(Qt::AlignCenter);
    title_->setStyleSheet(QStringLiteral("color: rgb(255,192,255); background: transparent;"));
    title_->setFont(ArabicFont(9.75, true));
    title_->setGeometry(twRect(layout.titleRect.x(), layout.titleRect.y(), layout.titleRect.width(),
                               layout.titleRect.height()));
    title_->setMouseTracking(true);
    title_->installEventFilter(this);

    exitUp_ = picture(QStringLiteral("exit_up.png"), QSize(16, 16), QColor(255, 192, 255));
    exitDown_ = picture(QStringLiteral("exit_down.png"), QSize(16, 16), QColor(200, 120, 200));
    exitMove_ = picture(QStringLiteral("exit_move.png"), QSize(16, 16), QColor(255, 230, 255));
    exit_ = new QLabel(this);
    exit_->setObjectName(QStringLiteral("ImgExit"));
    exit_->setScaledContents(true);
    exit_->setGeometry(twRect(layout.exitLeft, 60, 240, 225));
    exit_->setToolTip(layout.closeToolTip);
    exit_->setMouseTracking(true);
    SetHandCursor(exit_);
    exit_->installEventFilter(this);
    setExitPicture(ExitPicture::Up);

    const QPixmap side = picture(QStringLiteral("line_side.png"), QSize(3, 20), QColor(80, 0, 80));
    const QPixmap bottom = picture(QStringLiteral("line_bottom.png"), QSize(20, 4), QColor(80, 0, 80));
    for (int i = 0; i < 3; ++i) {
        lines_[i] = new QLabel(this);
        lines_[i]->setObjectName(QStringLiteral("ImgLine%1").arg(i));
        lines_[i]->setScaledContents(true);
        lines_[i]->setPixmap(i < 2 ? side : bottom);
    }
    lines_[0]->setGeometry(0, tw(330), tw(45), height() - tw(330));
    lines_[1]->setGeometry(width() - tw(45), tw(330), tw(45), height() - tw(330));
    lines_[2]->setGeometry(0, height() - tw(60), width(), tw(60));
}

void FramelessWindow::setTitle(const QString& title)
{
    title_->setText(title);
    setWindowTitle(title);
}

void FramelessWindow::ImgExit_Click() { close(); }

void FramelessWindow::setExitPicture(ExitPicture p)
{
    exitPicture_ = p;
    exit_->setPixmap(p == ExitPicture::Up ? exitUp_ : p == ExitPicture::Down ? exitDown_ : exitMove_);
}

bool FramelessWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (watched == header_ || watched == title_) {
        auto* w = static_cast<QWidget*>(watched);
        if (type == QEvent::MouseButtonPress) {
            const auto* me = static_cast<QMouseEvent*>(event);
            DragStartX = float(me->position().x());
            DragStartY = float(me->position().y());
        } else if (type == QEvent::MouseMove) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (me->buttons() == Qt::LeftButton) {
                const float x = float(me->position().x());
                const float y = float(me->position().y());
                const float left = float(this->x()) + x - DragStartX;
                move(qRound(left), this->y());
                const float top = float(this->y()) + y - DragStartY;
                move(this->x(), qRound(top));
            }
            Q_UNUSED(w);
            setExitPicture(ExitPicture::Up);
        }
    } else if (watched == exit_) {
        if (type == QEvent::MouseMove) {
            if (!exitPressed_) setExitPicture(ExitPicture::Move);
        } else if (type == QEvent::MouseButtonPress) {
            exitPressed_ = true;
            ImgExit_MouseDown();
            setExitPicture(ExitPicture::Down);
        } else if (type == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(event);
            exitPressed_ = false;
            setExitPicture(ExitPicture::Up);
            ImgExit_MouseUp();
            if (me->button() == Qt::LeftButton && exit_->rect().contains(me->position().toPoint()))
                ImgExit_Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FramelessWindow::mouseMoveEvent(QMouseEvent* event)
{
    setExitPicture(ExitPicture::Up);
    QDialog::mouseMoveEvent(event);
}

} // namespace pelorin::chrome
