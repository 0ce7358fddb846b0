#include <gtest/gtest.h>

#include <QSignalSpy>

#include "fake_platform.h"
#include "image_button.h"
#include "mouse.h"
#include "style.h"

using namespace pelorin::chrome;
using namespace pelorin::test;

namespace {

class ImageButtonTest : public ::testing::Test {
protected:
    FakePlatform platform;
    ImageButton button{QStringLiteral("report")};
    qint64 upKey = Picture(QStringLiteral("report_up"), QSize(32, 32)).cacheKey();
    qint64 downKey = Picture(QStringLiteral("report_down"), QSize(32, 32)).cacheKey();
    qint64 shown() const { return button.pixmap().cacheKey(); }
    void SetUp() override { button.resize(32, 32); }
};

} // namespace

TEST_F(ImageButtonTest, StartsWithTheReleasedPictureAndTheHand)
{
    EXPECT_EQ(shown(), upKey);
    EXPECT_FALSE(button.isPressedPicture());
    EXPECT_EQ(button.cursor().hotSpot(), QPoint(6, 0));
}

TEST_F(ImageButtonTest, LeftClickRestoresThePictureBeforeTheAction)
{
    bool pressedDuringClick = true;
    int clicks = 0;
    QObject::connect(&button, &ImageButton::clicked, [&] {
        ++clicks;
        pressedDuringClick = button.isPressedPicture();
    });
    press(&button, QPointF(10, 10));
    EXPECT_EQ(shown(), downKey);
    release(&button, QPointF(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(pressedDuringClick);
    EXPECT_EQ(shown(), upKey);
}

struct NoClickCase {
    const char* name;
    Qt::MouseButton button;
    QPointF releaseAt;
};

class ImageButtonNoClick : public ImageButtonTest, public ::testing::WithParamInterface<NoClickCase> {};

TEST_P(ImageButtonNoClick, SwapsPicturesAndRunsNothing)
{
    const auto& c = GetParam();
    QSignalSpy clicks(&button, &ImageButton::clicked);
    QSignalSpy presses(&button, &ImageButton::pressed);
    press(&button, QPointF(10, 10), c.button);
    EXPECT_TRUE(button.isPressedPicture());
    EXPECT_EQ(shown(), downKey);
    moveTo(&button, c.releaseAt, c.button);
    release(&button, c.releaseAt, c.button);
    EXPECT_FALSE(button.isPressedPicture());
    EXPECT_EQ(shown(), upKey);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(presses.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImageButtonNoClick,
                         ::testing::Values(NoClickCase{"leftReleasedOutside", Qt::LeftButton, {60, 10}},
                                           NoClickCase{
                                               "leftReleasedJustPastTheEdge", Qt::LeftButton, {32, 31}},
                                           NoClickCase{"rightInside", Qt::RightButton, {10, 10}},
                                           NoClickCase{"middleInside", Qt::MiddleButton, {10, 10}},
                                           NoClickCase{"rightOutside", Qt::RightButton, {-5, 50}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ImageButtonTest, LeftTogetherWithRightIsNoClick)
{
    QSignalSpy clicks(&button, &ImageButton::clicked);
    press(&button, QPointF(10, 10), Qt::RightButton);
    press(&button, QPointF(10, 10), Qt::LeftButton, Qt::RightButton);
    release(&button, QPointF(10, 10), Qt::LeftButton, Qt::RightButton);
    release(&button, QPointF(10, 10), Qt::RightButton);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(shown(), upKey);
}

TEST_F(ImageButtonTest, NullPicturesAreTolerated)
{
    ImageButton blank{QPixmap(), QPixmap()};
    blank.resize(32, 32);
    QSignalSpy clicks(&blank, &ImageButton::clicked);
    press(&blank, QPointF(5, 5));
    release(&blank, QPointF(5, 5));
    EXPECT_EQ(clicks.count(), 1);
    ImageButton unknown(QStringLiteral("no_such_button"));
    EXPECT_TRUE(unknown.pixmap().isNull());
}
