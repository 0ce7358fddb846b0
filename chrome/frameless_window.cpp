#include "frameless_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QWindow>
#include <QtMath>

#include <cmath>

#include "pressable.h"
#include "style.h"
#include "twips.h"

namespace pelorin::chrome {

namespace {

// A new edge position, or the old one when the sum cannot be a window position (overflow,
// not a number): a failed drag step leaves the window where it is.
int dragged(int edge, float pointer, float start)
{
    const float sum = float(edge) + pointer - start;
    if (!std::isfinite(sum) || std::fabs(sum) > float(QWIDGETSIZE_MAX)) return edge;
    return int(std::lround(sum));
}

} // namespace

FramelessWindow::FramelessWindow(const ChromeLayout& layout, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setLayoutDirection(layout.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    setFixedSize(twSize(layout.clientWidth, layout.clientHeight));
    setWindowTitle(layout.title);
    setWindowIcon(AppIcon());
    setStyleSheet(WindowStyleSheet());
    setFont(ArabicFont(9.75));
    setMouseTracking(true);

    header_ = new QLabel(this);
    header_->setObjectName(QStringLiteral("ImgHeader"));
    header_->setGeometry(0, 0, width(), tw(330));
    // Rendered at the header's own size rather than stretched, so the strip stays sharp.
    header_->setPixmap(Picture(QStringLiteral("header"), header_->size()));
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

    exit_ = new QLabel(this);
    exit_->setObjectName(QStringLiteral("ImgExit"));
    exit_->setGeometry(twRect(layout.exitLeft, 60, 240, 225));
    exit_->setAlignment(Qt::AlignCenter);
    exitUp_ = Picture(QStringLiteral("exit_up"), exit_->size());
    exitDown_ = Picture(QStringLiteral("exit_down"), exit_->size());
    exitMove_ = Picture(QStringLiteral("exit_move"), exit_->size());
    exit_->setToolTip(layout.closeToolTip);
    exit_->setMouseTracking(true);
    SetHandCursor(exit_);
    exit_->installEventFilter(this);
    setExitPicture(ExitPicture::Up);
    // Read out by its purpose whatever its tool tip says, and usable from the keyboard.
    exit_->setAccessibleName(QStringLiteral("إغلاق"));
    Pressable::Attach(
        exit_, [this] { ImgExit_Click(); },
        [this](bool down) {
            setExitPicture(down ? ExitPicture::Down : ExitPicture::Up);
            if (down)
                ImgExit_MouseDown();
            else
                ImgExit_MouseUp();
        });

    for (int i = 0; i < 3; ++i) {
        lines_[i] = new QLabel(this);
        lines_[i]->setObjectName(QStringLiteral("ImgLine%1").arg(i));
    }
    lines_[0]->setGeometry(0, tw(330), tw(45), height() - tw(330));
    lines_[1]->setGeometry(width() - tw(45), tw(330), tw(45), height() - tw(330));
    lines_[2]->setGeometry(0, height() - tw(60), width(), tw(60));
    for (int i = 0; i < 3; ++i)
        lines_[i]->setPixmap(Picture(QLatin1String(i < 2 ? "line_side" : "line_bottom"), lines_[i]->size()));
}

void FramelessWindow::setTitle(const QString& title)
{
    title_->setText(title);
    setWindowTitle(title);
}

void FramelessWindow::ImgExit_Click()
{
    close();
}

void FramelessWindow::setExitPicture(ExitPicture p)
{
    exitPicture_ = p;
    exit_->setPixmap(p == ExitPicture::Up ? exitUp_ : p == ExitPicture::Down ? exitDown_ : exitMove_);
}

void FramelessWindow::dragStep(float x, float y)
{
    // Left edge first, then top, each on its own: one failing does not stop the other.
    const int left = dragged(this->x(), x, DragStartX);
    const int top = dragged(this->y(), y, DragStartY);
    if (left != this->x() || top != this->y()) move(left, top);
}

bool FramelessWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (watched == header_ || watched == title_) {
        if (type == QEvent::MouseButtonPress) {
            const auto* me = static_cast<QMouseEvent*>(event);
            DragStartX = float(me->position().x());
            DragStartY = float(me->position().y());
            systemMove_ = false;
        } else if (type == QEvent::MouseMove) {
            const auto* me = static_cast<QMouseEvent*>(event);
            // The left button alone drags; right, middle or left with another does not. The window
            // system moves the window where it offers to: a Wayland compositor lets no program place
            // its own windows. Elsewhere the window follows the pointer itself.
            if (me->buttons() == Qt::LeftButton && !systemMove_) {
                QWindow* handle = windowHandle();
                systemMove_ = handle && handle->startSystemMove();
                if (!systemMove_) dragStep(float(me->position().x()), float(me->position().y()));
            }
            setExitPicture(ExitPicture::Up);
        }
    } else if (watched == exit_) {
        if (type == QEvent::MouseMove) {
            // While held, the pressed picture stays even when the pointer wanders off and back.
            if (!exitHeld_) setExitPicture(ExitPicture::Move);
            return true; // the window's own move handler would restore the normal picture
        } else if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
            const auto* me = static_cast<QMouseEvent*>(event);
            if (!exitHeld_) {
                exitHeld_ = true;
                exitLeftPress_ = me->button() == Qt::LeftButton;
                ImgExit_MouseDown();
            }
            setExitPicture(ExitPicture::Down);
        } else if (type == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(event);
            // The hold ends when the last button comes up; the picture is back before any click.
            if (exitHeld_ && me->buttons() == Qt::NoButton) {
                const bool click = exitLeftPress_ && me->button() == Qt::LeftButton &&
                                   exit_->rect().contains(me->position().toPoint());
                exitHeld_ = false;
                exitLeftPress_ = false;
                setExitPicture(ExitPicture::Up);
                ImgExit_MouseUp();
                if (click) ImgExit_Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FramelessWindow::mouseMoveEvent(QMouseEvent* event)
{
    setExitPicture(ExitPicture::Up);
    QDialog::mouseMoveEvent(event);
}

void FramelessWindow::showEvent(QShowEvent* event)
{
    if (!exitHeld_) setExitPicture(ExitPicture::Up);
    // Every button, option button and drop-down list of the window shows the hand pointer,
    // unless its window chose another pointer for it.
    for (QWidget* w : findChildren<QWidget*>()) {
        if ((qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w)) &&
            !w->testAttribute(Qt::WA_SetCursor))
            SetHandCursor(w);
    }
    QDialog::showEvent(event);
}

} // namespace pelorin::chrome
