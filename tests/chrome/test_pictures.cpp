#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include "style.h"

using namespace pelorin::chrome;

namespace {

qreal ratio()
{
    return qMax<qreal>(1.0, qGuiApp->devicePixelRatio());
}

double meanLightness(const QImage& image)
{
    double sum = 0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128) continue;
            sum += c.lightnessF();
            ++n;
        }
    return n ? sum / n : 0;
}

struct NamedPicture {
    const char* name;
    QSize size;
};

} // namespace

class EveryPicture : public ::testing::TestWithParam<NamedPicture> {};

TEST_P(EveryPicture, RendersAtItsOwnSizeForTheScreen)
{
    const auto& p = GetParam();
    const QPixmap pic = Picture(QLatin1String(p.name));
    ASSERT_FALSE(pic.isNull()) << p.name;
    EXPECT_EQ(pic.deviceIndependentSize().toSize(), p.size) << p.name;
    EXPECT_DOUBLE_EQ(pic.devicePixelRatio(), ratio()) << p.name;
    EXPECT_EQ(pic.size(), (QSizeF(p.size) * ratio()).toSize()) << p.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, EveryPicture,
    ::testing::Values(NamedPicture{"header", {500, 22}}, NamedPicture{"line_side", {3, 20}},
                      NamedPicture{"line_bottom", {20, 4}}, NamedPicture{"exit_up", {16, 16}},
                      NamedPicture{"exit_down", {16, 16}}, NamedPicture{"exit_move", {16, 16}},
                      NamedPicture{"about_up", {32, 32}}, NamedPicture{"about_down", {32, 32}},
                      NamedPicture{"report_up", {32, 32}}, NamedPicture{"report_down", {32, 32}},
                      NamedPicture{"update_up", {32, 32}}, NamedPicture{"update_down", {32, 32}},
                      NamedPicture{"compact_up", {32, 32}}, NamedPicture{"compact_down", {32, 32}},
                      NamedPicture{"calendar_up", {32, 32}}, NamedPicture{"calendar_down", {32, 32}},
                      NamedPicture{"sort_up", {10, 9}}, NamedPicture{"sort_down", {10, 9}},
                      NamedPicture{"hand", {32, 32}}, NamedPicture{"app_icon", {256, 256}},
                      NamedPicture{"banner_a", {200, 40}}, NamedPicture{"banner_b", {200, 40}}));

TEST(Picture, UnknownNameGivesNullPixmap)
{
    EXPECT_TRUE(Picture(QStringLiteral("no_such_picture")).isNull());
    EXPECT_TRUE(Picture(QStringLiteral("no_such_picture"), QSize(32, 32)).isNull());
}

TEST(Picture, RepeatedRequestComesFromTheCache)
{
    const QPixmap a = Picture(QStringLiteral("about_up"), QSize(32, 32));
    const QPixmap b = Picture(QStringLiteral("about_up"), QSize(32, 32));
    EXPECT_EQ(a.cacheKey(), b.cacheKey());
    EXPECT_NE(a.cacheKey(), Picture(QStringLiteral("about_up"), QSize(48, 48)).cacheKey());
}

TEST(Picture, StripsFillAnyRequestedSizeEdgeToEdge)
{
    // The header and border strips are stretched to the window; no transparent margins may
    // appear when the proportions differ from the drawing's.
    for (const auto& [name, size] :
         {std::pair{"header", QSize(723, 22)}, std::pair{"line_side", QSize(3, 398)},
          std::pair{"line_bottom", QSize(725, 4)}}) {
        const QImage img = Picture(QLatin1String(name), size).toImage();
        ASSERT_EQ(img.size(), (QSizeF(size) * ratio()).toSize()) << name;
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(img.width() - 1, 0), QPoint(0, img.height() - 1),
              QPoint(img.width() - 1, img.height() - 1), QPoint(img.width() / 2, img.height() / 2)})
            EXPECT_EQ(img.pixelColor(corner).alpha(), 255)
                << name << " at " << corner.x() << "," << corner.y();
    }
}

TEST(Picture, PressedButtonsAreDarkerThanReleasedOnes)
{
    for (const char* name : {"about", "report", "update", "compact", "calendar"}) {
        const QImage up = Picture(QLatin1String(name) + QLatin1String("_up")).toImage();
        const QImage down = Picture(QLatin1String(name) + QLatin1String("_down")).toImage();
        EXPECT_NE(up, down) << name;
        EXPECT_LT(meanLightness(down), meanLightness(up)) << name;
    }
}

TEST(Picture, CloseImageHasThreeDistinctStates)
{
    const QImage up = Picture(QStringLiteral("exit_up")).toImage();
    const QImage down = Picture(QStringLiteral("exit_down")).toImage();
    const QImage move = Picture(QStringLiteral("exit_move")).toImage();
    EXPECT_NE(up, down);
    EXPECT_NE(up, move);
    EXPECT_NE(down, move);
    EXPECT_LT(meanLightness(down), meanLightness(up));
}

TEST(Picture, SortTrianglesPointTheirWayOnATransparentGround)
{
    const QImage up = Picture(QStringLiteral("sort_up")).toImage();
    const QImage down = Picture(QStringLiteral("sort_down")).toImage();
    const int w = up.width(), h = up.height(), mid = w / 2;
    // outside the triangle the list header shows through
    EXPECT_EQ(up.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(up.pixelColor(w - 1, 0).alpha(), 0);
    EXPECT_EQ(down.pixelColor(0, h - 1).alpha(), 0);
    EXPECT_EQ(down.pixelColor(w - 1, h - 1).alpha(), 0);
    // the wide side is at the bottom of "up" and at the top of "down"
    EXPECT_GT(up.pixelColor(1, h - 2).alpha(), 0);
    EXPECT_GT(down.pixelColor(1, 1).alpha(), 0);
    // a grey outline around a white face, so it reads on a light header and on purple
    const QColor face = up.pixelColor(mid, h * 2 / 3);
    EXPECT_EQ(face, QColor(Qt::white));
    const QColor edge = up.pixelColor(mid, h - 1 - int(ratio() * 0.5));
    EXPECT_LT(edge.lightness(), 200);
}

TEST(Picture, HandCursorPointsWithItsFingertipAtTheHotSpot)
{
    const QCursor hand = HandCursor();
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(6, 0));
    const QPixmap pic = hand.pixmap();
    ASSERT_FALSE(pic.isNull());
    EXPECT_EQ(pic.deviceIndependentSize().toSize(), QSize(32, 32));
    const QImage img = pic.toImage();
    const qreal r = ratio();
    // the fingertip covers the pixel just below the hot spot; the far corner is empty
    EXPECT_GT(img.pixelColor(int(6 * r), int(1 * r)).alpha(), 200);
    EXPECT_EQ(img.pixelColor(img.width() - 1, 0).alpha(), 0);
}

TEST(Picture, AppIconOffersSeveralSizes)
{
    const QIcon icon = AppIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_GE(icon.availableSizes().size(), 3);
    EXPECT_FALSE(icon.pixmap(QSize(32, 32)).isNull());
}

TEST(Picture, BannersAlternateBetweenTwoDifferentPictures)
{
    EXPECT_NE(Picture(QStringLiteral("banner_a")).toImage(), Picture(QStringLiteral("banner_b")).toImage());
}
