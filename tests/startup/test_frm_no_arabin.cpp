// The language notice: its texts, the drawn message, the help link, the banner and the way out.
#include <QImage>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "frm_no_arabin.h"
#include "startup_support.h"

namespace pelorin::startup {
namespace {

using test::EndsProgram;
using test::FakePlatform;

const QString kHelpPage = QStringLiteral(PELORIN_WEB_BASE "/articles.php?action=show&id=1");

class NoArabinTest : public ::testing::Test {
protected:
    FakePlatform fake;
    FrmNoArabin w;
};

TEST_F(NoArabinTest, FrameAndTexts)
{
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Pelorin - Does not support Arabic"));
    EXPECT_EQ(w.LblMain()->text(), w.windowTitle());
    EXPECT_EQ(w.ImgExit()->toolTip(), QStringLiteral("Exit"));
    EXPECT_EQ(w.size(), QSize(427, 291));
    EXPECT_EQ(w.ImgNoArabic->size(), QSize(425, 156));
    EXPECT_EQ(w.ImWebMerrow->toolTip(), QStringLiteral(PELORIN_WEB_BASE));
    EXPECT_FALSE(w.ImWebMerrow1->isVisibleTo(&w));
    EXPECT_FALSE(w.ImWebMerrow2->isVisibleTo(&w));
    // Everything lies inside the window, between the header and the bottom strip.
    for (QWidget* c : {static_cast<QWidget*>(w.ImgNoArabic), static_cast<QWidget*>(w.ImWebMerrow),
                       static_cast<QWidget*>(w.ShpStatut)}) {
        EXPECT_TRUE(w.rect().contains(c->geometry())) << c->objectName().toStdString();
        EXPECT_GE(c->y(), w.ImgHeader()->height()) << c->objectName().toStdString();
        EXPECT_LE(c->geometry().bottom(), w.ImgLine(2)->y()) << c->objectName().toStdString();
    }
    EXPECT_FALSE(w.ImgNoArabic->geometry().intersects(w.ImWebMerrow->geometry()));
}

// Rows of the picture that carry ink, grouped into bands separated by empty rows.
QList<QPair<int, int>> InkBands(const QImage& image)
{
    QList<QPair<int, int>> bands;
    int start = -1;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = qAlpha(image.pixel(x, y)) > 40;
        if (ink && start < 0) start = y;
        if (!ink && start >= 0) {
            bands.append({start, y - 1});
            start = -1;
        }
    }
    if (start >= 0) bands.append({start, image.height() - 1});
    return bands;
}

TEST_F(NoArabinTest, MessagePictureCarriesFiveCentredLinesThatFit)
{
    const QImage image = w.ImgNoArabic->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(425, 156));
    const auto bands = InkBands(image);
    ASSERT_EQ(bands.size(), 5);
    // Nothing touches the picture's edges: no line is clipped.
    EXPECT_GT(bands.first().first, 0);
    EXPECT_LT(bands.last().second, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        EXPECT_LE(qAlpha(image.pixel(0, y)), 40) << y;
        EXPECT_LE(qAlpha(image.pixel(image.width() - 1, y)), 40) << y;
    }
    // Each line is centred: its ink starts about as far from the left as it ends from the right.
    for (const auto& band : bands) {
        int left = image.width(), right = -1;
        for (int y = band.first; y <= band.second; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 40) left = qMin(left, x), right = qMax(right, x);
        EXPECT_NEAR(left, image.width() - 1 - right, 6);
    }
}

TEST_F(NoArabinTest, LongerTextIsDrawnSmallerInsteadOfClipped)
{
    const QStringList wide = {FrmNoArabin::MessageLines().first() + QStringLiteral(" ") +
                              FrmNoArabin::MessageLines().first()};
    const QImage image =
        FrmNoArabin::RenderMessage(wide, QSize(425, 156)).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        EXPECT_LE(qAlpha(image.pixel(0, y)), 40);
        EXPECT_LE(qAlpha(image.pixel(image.width() - 1, y)), 40);
    }
    EXPECT_EQ(InkBands(image).size(), 1);
}

TEST_F(NoArabinTest, OnlyALeftPressOpensTheHelpPage)
{
    w.show();
    QTest::mousePress(w.ImgNoArabic, Qt::RightButton, {}, QPoint(200, 80));
    QTest::mouseRelease(w.ImgNoArabic, Qt::RightButton, {}, QPoint(200, 80));
    QTest::mousePress(w.ImgNoArabic, Qt::MiddleButton, {}, QPoint(200, 80));
    QTest::mouseRelease(w.ImgNoArabic, Qt::MiddleButton, {}, QPoint(200, 80));
    EXPECT_TRUE(fake.openedUrls.isEmpty());

    QTest::mousePress(w.ImgNoArabic, Qt::LeftButton, {}, QPoint(200, 80));
    EXPECT_EQ(fake.openedUrls, QStringList{kHelpPage}) << "the press opens the page, not the release";
    QTest::mouseRelease(w.ImgNoArabic, Qt::LeftButton, {}, QPoint(200, 80));
    EXPECT_EQ(fake.openedUrls.size(), 1);
    // The window stays open after the link.
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(fake.ends.isEmpty());
}

qint64 Key(const QLabel* l)
{
    return l->pixmap().cacheKey();
}

TEST_F(NoArabinTest, BannerAlternatesWithExactlyOneTimerRunning)
{
    ASSERT_NE(Key(w.ImWebMerrow1), Key(w.ImWebMerrow2)) << "the two banner pictures differ";
    EXPECT_FALSE(w.ImWebMerrow1->pixmap().isNull());
    EXPECT_FALSE(w.ImWebMerrow2->pixmap().isNull());
    EXPECT_EQ(Key(w.ImWebMerrow), Key(w.ImWebMerrow1));
    EXPECT_TRUE(w.TmrWebMerrow1.isActive());
    EXPECT_FALSE(w.TmrWebMerrow2.isActive());
    EXPECT_EQ(w.TmrWebMerrow1.interval(), 1000);
    EXPECT_EQ(w.TmrWebMerrow2.interval(), 1000);

    for (int round = 0; round < 3; ++round) {
        w.TmrWebMerrow1_Timer();
        EXPECT_EQ(Key(w.ImWebMerrow), Key(w.ImWebMerrow2));
        EXPECT_FALSE(w.TmrWebMerrow1.isActive());
        EXPECT_TRUE(w.TmrWebMerrow2.isActive());
        w.TmrWebMerrow2_Timer();
        EXPECT_EQ(Key(w.ImWebMerrow), Key(w.ImWebMerrow1));
        EXPECT_TRUE(w.TmrWebMerrow1.isActive());
        EXPECT_FALSE(w.TmrWebMerrow2.isActive());
    }
}

TEST_F(NoArabinTest, BannerAlternatesOnItsOwnTimers)
{
    w.TmrWebMerrow1.setInterval(15);
    w.TmrWebMerrow2.setInterval(15);
    w.TmrWebMerrow1.start();
    QList<qint64> seen{Key(w.ImWebMerrow)};
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (Key(w.ImWebMerrow) != seen.last()) seen << Key(w.ImWebMerrow);
            return seen.size() >= 4;
        },
        3000));
    ASSERT_GE(seen.size(), 4);
    EXPECT_EQ(seen.mid(0, 4), (QList<qint64>{Key(w.ImWebMerrow1), Key(w.ImWebMerrow2), Key(w.ImWebMerrow1),
                                             Key(w.ImWebMerrow2)}));
    EXPECT_NE(w.TmrWebMerrow1.isActive(), w.TmrWebMerrow2.isActive());
}

TEST_F(NoArabinTest, EscapeAndTheCloseImageEndTheProgram)
{
    EXPECT_TRUE(EndsProgram([&] { w.Form_KeyDown(Qt::Key_Escape, Qt::NoModifier); }));
    EXPECT_TRUE(EndsProgram([&] { w.Form_KeyDown(Qt::Key_Escape, Qt::ShiftModifier); }));
    EXPECT_TRUE(EndsProgram([&] { w.ImgExit_Click(); }));
    EXPECT_EQ(fake.ends, (QVector<int>{0, 0, 0}));
    EXPECT_TRUE(fake.openedUrls.isEmpty());
}

TEST_F(NoArabinTest, OtherKeysDoNothing)
{
    w.show();
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A, Qt::Key_F4, Qt::Key_Tab})
        EXPECT_FALSE(EndsProgram([&] { w.Form_KeyDown(key, Qt::NoModifier); })) << key;
    // Real key events reach the same handler; Return does not close the dialog.
    QTest::keyClick(&w, Qt::Key_Return);
    QTest::keyClick(&w, Qt::Key_A);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(fake.ends.isEmpty());
}

} // namespace
} // namespace pelorin::startup
