#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "fake_platform.h"
#include "frameless_window.h"
#include "mouse.h"
#include "style.h"
#include "twips.h"

using namespace pelorin;
using namespace pelorin::chrome;
using namespace pelorin::test;
using Pic = FramelessWindow::ExitPicture;

namespace {

ChromeLayout layoutOf(int w, int h, QRect title, int exitLeft, const QString& text,
                      const QString& tip = QStringLiteral("إغلاق"))
{
    ChromeLayout l;
    l.clientWidth = w;
    l.clientHeight = h;
    l.titleRect = title;
    l.title = text;
    l.exitLeft = exitLeft;
    l.closeToolTip = tip;
    return l;
}

ChromeLayout mainLayout()
{
    return layoutOf(10845, 6300, QRect(4520, 75, 1995, 255), 10560, QStringLiteral("Pelorin"));
}

// A window that counts its close-image hooks and actions instead of closing.
class Probe : public FramelessWindow {
public:
    explicit Probe(const ChromeLayout& l = mainLayout()) : FramelessWindow(l) {}
    int clicks = 0, downs = 0, ups = 0;
    Pic pictureAtUp = Pic::Move;
    using FramelessWindow::setExitPicture;

protected:
    void ImgExit_Click() override { ++clicks; }
    void ImgExit_MouseDown() override { ++downs; }
    void ImgExit_MouseUp() override
    {
        ++ups;
        pictureAtUp = exitPicture();
    }
};

class Chrome : public ::testing::Test {
protected:
    FakePlatform platform;
};

} // namespace

// ---- layout of the six windows ----

struct WindowCase {
    const char* name;
    int w, h;
    QRect title;
    int exitLeft;
};

class ChromeLayoutOf : public Chrome, public ::testing::WithParamInterface<WindowCase> {};

TEST_P(ChromeLayoutOf, PlacesHeaderTitleCloseImageAndStrips)
{
    const auto& c = GetParam();
    FramelessWindow w(layoutOf(c.w, c.h, c.title, c.exitLeft, QStringLiteral("عنوان")));
    EXPECT_EQ(w.size(), twSize(c.w, c.h));
    EXPECT_EQ(w.ImgHeader()->geometry(), QRect(0, 0, w.width(), 22));
    EXPECT_EQ(w.LblMain()->geometry(), twRect(c.title.x(), c.title.y(), c.title.width(), c.title.height()));
    EXPECT_EQ(w.ImgExit()->geometry(), twRect(c.exitLeft, 60, 240, 225));
    // close image inside the header, near its right end
    EXPECT_TRUE(w.ImgHeader()->geometry().contains(w.ImgExit()->geometry()));
    EXPECT_LT(w.width() - w.ImgExit()->geometry().right(), 25);
    EXPECT_EQ(w.ImgLine(0)->geometry(), QRect(0, 22, 3, w.height() - 22));
    EXPECT_EQ(w.ImgLine(1)->geometry(), QRect(w.width() - 3, 22, 3, w.height() - 22));
    EXPECT_EQ(w.ImgLine(2)->geometry(), QRect(0, w.height() - 4, w.width(), 4));
    for (QLabel* l : {w.ImgHeader(), w.ImgExit(), w.ImgLine(0), w.ImgLine(1), w.ImgLine(2)})
        EXPECT_FALSE(l->pixmap().isNull()) << l->objectName().toStdString();
    EXPECT_EQ(w.ImgHeader()->pixmap().deviceIndependentSize().toSize(), w.ImgHeader()->size());
    EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
}

INSTANTIATE_TEST_SUITE_P(Windows, ChromeLayoutOf,
                         ::testing::Values(WindowCase{"FrmMain", 10845, 6300, {4520, 75, 1995, 255}, 10560},
                                           WindowCase{"FrmCalendar", 3615, 3045, {980, 80, 1800, 255}, 3360},
                                           WindowCase{"FrmUpdate", 3630, 1155, {980, 80, 1800, 255}, 3360},
                                           WindowCase{"FrmAbout", 5445, 3780, {1050, 75, 3405, 255}, 5180},
                                           WindowCase{"FrmNoArabin", 6405, 4365, {1400, 75, 3405, 255}, 6120},
                                           WindowCase{
                                               "FrmFileInstall", 3960, 2745, {700, 75, 2595, 255}, 3700}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Chrome, TitleToolTipAndPointer)
{
    FramelessWindow w(layoutOf(6405, 4365, QRect(1400, 75, 3405, 255), 6120,
                               QStringLiteral("Pelorin - Does not support Arabic"), QStringLiteral("Exit")));
    EXPECT_EQ(w.LblMain()->text(), QStringLiteral("Pelorin - Does not support Arabic"));
    EXPECT_EQ(w.windowTitle(), w.LblMain()->text());
    EXPECT_EQ(w.ImgExit()->toolTip(), QStringLiteral("Exit"));
    EXPECT_TRUE(w.LblMain()->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(w.ImgExit()->cursor().hotSpot(), HandCursor().hotSpot());
    EXPECT_EQ(w.ImgExit()->cursor().shape(), Qt::BitmapCursor);
    w.setTitle(QStringLiteral("التقويم"));
    EXPECT_EQ(w.LblMain()->text(), QStringLiteral("التقويم"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("التقويم"));
}

TEST_F(Chrome, RendersPurpleBackgroundAndLightPinkTitle)
{
    FramelessWindow w(mainLayout());
    w.LblMain()->setText(QStringLiteral("دفتر الإعارة"));
    const QImage img = w.grab().toImage();
    const qreal r = img.devicePixelRatio();
    EXPECT_EQ(img.pixelColor(int(w.width() / 2 * r), int(w.height() / 2 * r)), kPurple);
    // the header is not the plain background
    EXPECT_NE(img.pixelColor(int(10 * r), int(11 * r)), kPurple);
    // some title pixels are (nearly) light pink text
    const QRect t = w.LblMain()->geometry();
    int pink = 0;
    for (int y = int(t.top() * r); y < int(t.bottom() * r); ++y)
        for (int x = int(t.left() * r); x < int(t.right() * r); ++x) {
            const QColor c = img.pixelColor(x, y);
            pink += c.red() > 235 && c.green() > 170 && c.green() < 215 && c.blue() > 235;
        }
    EXPECT_GT(pink, 10);
}

// ---- dragging ----

struct DragCase {
    const char* name;
    Qt::MouseButtons held;
    QPointF step; // pointer movement in pixels
    QPoint moved;
};

class ChromeDrag : public Chrome, public ::testing::WithParamInterface<DragCase> {};

TEST_P(ChromeDrag, LeftButtonAloneMovesTheWindow)
{
    const auto& c = GetParam();
    for (bool onTitle : {true, false}) {
        Probe w;
        w.move(200, 150);
        w.show();
        QWidget* grip = onTitle ? static_cast<QWidget*>(w.LblMain()) : w.ImgHeader();
        const QPointF start(12, 7);
        press(grip, start, c.held & Qt::LeftButton ? Qt::LeftButton : Qt::RightButton, c.held);
        EXPECT_FLOAT_EQ(w.DragStartX, 12);
        EXPECT_FLOAT_EQ(w.DragStartY, 7);
        moveTo(grip, start + c.step, c.held);
        EXPECT_EQ(w.pos(), QPoint(200, 150) + c.moved) << c.name << (onTitle ? " title" : " header");
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, ChromeDrag,
                         ::testing::Values(
                             // 100 twips right and 50 down are 6.67 and 3.33 pixels
                             DragCase{"left", Qt::LeftButton, {100.0 / 15, 50.0 / 15}, {7, 3}},
                             DragCase{"leftBack", Qt::LeftButton, {-40, -25}, {-40, -25}},
                             DragCase{"right", Qt::RightButton, {30, 20}, {0, 0}},
                             DragCase{"middle", Qt::MiddleButton, {30, 20}, {0, 0}},
                             DragCase{"leftAndRight", Qt::LeftButton | Qt::RightButton, {30, 20}, {0, 0}},
                             DragCase{"none", Qt::NoButton, {30, 20}, {0, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Chrome, GrabbedPointStaysUnderThePointer)
{
    Probe w;
    w.move(300, 200);
    w.show();
    QLabel* title = w.LblMain();
    const QPoint grab(20, 8);
    const QPoint global = w.pos() + title->pos() + grab;
    press(title, grab);
    // the pointer wanders; each event is relative to where the title is now
    for (const QPoint pointer :
         {QPoint(5, 0), QPoint(25, 13), QPoint(-60, 40), QPoint(-61, 41), QPoint(0, 0)}) {
        const QPoint target = global + pointer;
        const QPoint local = target - (w.pos() + title->pos());
        moveTo(title, local, Qt::LeftButton);
        EXPECT_EQ(w.pos() + title->pos() + grab, target);
    }
}

TEST_F(Chrome, DragStepThatOverflowsLeavesThatEdgeAlone)
{
    Probe w;
    w.move(100, 100);
    w.show();
    press(w.ImgHeader(), QPointF(10, 10));
    w.DragStartX = -3.0e38f; // the sum can be no window position
    moveTo(w.ImgHeader(), QPointF(10, 30), Qt::LeftButton);
    EXPECT_EQ(w.pos(), QPoint(100, 120));
    w.DragStartY = std::numeric_limits<float>::quiet_NaN();
    w.DragStartX = 10;
    moveTo(w.ImgHeader(), QPointF(15, 10), Qt::LeftButton);
    EXPECT_EQ(w.pos(), QPoint(105, 120));
}

TEST_F(Chrome, DragIsNotHeldToTheScreen)
{
    Probe w;
    w.move(10, 10);
    w.show();
    press(w.ImgHeader(), QPointF(100, 10));
    moveTo(w.ImgHeader(), QPointF(-400, -300), Qt::LeftButton);
    EXPECT_EQ(w.pos(), QPoint(-490, -300));
}

// ---- close image pictures ----

TEST_F(Chrome, CloseImageHoverAndItsRestoration)
{
    Probe w;
    w.show();
    EXPECT_EQ(w.exitPicture(), Pic::Up);
    for (QWidget* restorer : {static_cast<QWidget*>(w.ImgHeader()), static_cast<QWidget*>(w.LblMain()),
                              static_cast<QWidget*>(&w)}) {
        moveTo(w.ImgExit(), QPointF(8, 8));
        EXPECT_EQ(w.exitPicture(), Pic::Move);
        moveTo(restorer, QPointF(5, 5));
        EXPECT_EQ(w.exitPicture(), Pic::Up) << restorer->objectName().toStdString();
    }
    // leaving the window straight from the close image: nothing restores it yet
    moveTo(w.ImgExit(), QPointF(8, 8));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w.ImgExit(), &leave);
    QApplication::sendEvent(&w, &leave);
    EXPECT_EQ(w.exitPicture(), Pic::Move);
    // a header move while the left button drags also restores it
    moveTo(w.ImgHeader(), QPointF(5, 5), Qt::LeftButton);
    EXPECT_EQ(w.exitPicture(), Pic::Up);
}

TEST_F(Chrome, CloseImageClickRunsTheCloseActionAfterTheNormalPictureIsBack)
{
    Probe w;
    w.show();
    press(w.ImgExit(), QPointF(8, 8));
    EXPECT_EQ(w.exitPicture(), Pic::Down);
    EXPECT_EQ(w.downs, 1);
    release(w.ImgExit(), QPointF(8, 8));
    EXPECT_EQ(w.ups, 1);
    EXPECT_EQ(w.pictureAtUp, Pic::Up);
    EXPECT_EQ(w.clicks, 1);
    EXPECT_EQ(w.exitPicture(), Pic::Up);
}

TEST_F(Chrome, PressDragOffAndReleaseDoesNotClose)
{
    Probe w;
    w.show();
    press(w.ImgExit(), QPointF(8, 8));
    // while held the pressed picture stays, over the image or off it
    moveTo(w.ImgExit(), QPointF(30, 40), Qt::LeftButton);
    EXPECT_EQ(w.exitPicture(), Pic::Down);
    moveTo(w.ImgExit(), QPointF(8, 8), Qt::LeftButton);
    EXPECT_EQ(w.exitPicture(), Pic::Down);
    release(w.ImgExit(), QPointF(30, 40));
    EXPECT_EQ(w.exitPicture(), Pic::Up);
    EXPECT_EQ(w.ups, 1); // the hooks pair up even away from the image
    EXPECT_EQ(w.clicks, 0);
}

TEST_F(Chrome, OtherButtonsOnTheCloseImageOnlySwapPictures)
{
    Probe w;
    w.show();
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
        press(w.ImgExit(), QPointF(8, 8), b);
        EXPECT_EQ(w.exitPicture(), Pic::Down);
        release(w.ImgExit(), QPointF(8, 8), b);
        EXPECT_EQ(w.exitPicture(), Pic::Up);
    }
    // right held, left pressed and released over it, then right released: no click either
    press(w.ImgExit(), QPointF(8, 8), Qt::RightButton);
    press(w.ImgExit(), QPointF(8, 8), Qt::LeftButton, Qt::RightButton);
    release(w.ImgExit(), QPointF(8, 8), Qt::LeftButton, Qt::RightButton);
    EXPECT_EQ(w.exitPicture(), Pic::Down);
    release(w.ImgExit(), QPointF(8, 8), Qt::RightButton);
    EXPECT_EQ(w.exitPicture(), Pic::Up);
    EXPECT_EQ(w.clicks, 0);
    EXPECT_EQ(w.downs, 3);
    EXPECT_EQ(w.ups, 3);
}

TEST_F(Chrome, DefaultCloseActionClosesTheWindow)
{
    FramelessWindow w(mainLayout());
    w.show();
    ASSERT_TRUE(w.isVisible());
    press(w.ImgExit(), QPointF(8, 8));
    release(w.ImgExit(), QPointF(8, 8));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Chrome, ShownAgainWithTheNormalPicture)
{
    Probe w;
    w.show();
    moveTo(w.ImgExit(), QPointF(8, 8));
    ASSERT_EQ(w.exitPicture(), Pic::Move);
    w.hide();
    w.show();
    EXPECT_EQ(w.exitPicture(), Pic::Up);
    EXPECT_EQ(w.ImgExit()->pixmap().cacheKey(),
              Picture(QStringLiteral("exit_up"), w.ImgExit()->size()).cacheKey());
}

TEST_F(Chrome, ClickableControlsShowTheHandPointer)
{
    Probe w;
    auto* button = new QPushButton(QStringLiteral("حفظ"), &w);
    auto* option = new QRadioButton(QStringLiteral("لم يرد بعد"), &w);
    auto* list = new QComboBox(&w);
    auto* edit = new QLineEdit(&w);
    auto* busy = new QPushButton(&w);
    busy->setCursor(Qt::WaitCursor);
    w.show();
    for (QWidget* c :
         {static_cast<QWidget*>(button), static_cast<QWidget*>(option), static_cast<QWidget*>(list)}) {
        EXPECT_EQ(c->cursor().shape(), Qt::BitmapCursor);
        EXPECT_EQ(c->cursor().hotSpot(), QPoint(6, 0));
    }
    EXPECT_NE(edit->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(busy->cursor().shape(), Qt::WaitCursor);
}
