#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "about_texts.h"
#include "fake_platform.h"
#include "frm_about.h"
#include "twips.h"

using pelorin::about::FrmAbout;
using pelorin::test::FakePlatform;
namespace texts = pelorin::about::texts;

namespace {

class FrmAboutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f = std::make_unique<FrmAbout>(nullptr);
        f->move(200, 150);
        f->show();
        // Scrolling is stepped by hand; the real timers stay out of the way.
        f->TimThank->stop();
        platform.cursor = QPoint(-5000, -5000);
        platform.active = f.get();
    }
    QRect viewport() const { return QRect(f->PictMov->mapToGlobal(QPoint(0, 0)), f->PictMov->size()); }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            f->TimThank_Timer();
    }

    FakePlatform platform;
    std::unique_ptr<FrmAbout> f;
};

} // namespace

TEST_F(FrmAboutTest, OpensWithItsTextsAndTimers)
{
    EXPECT_EQ(f->LblMain()->text(), texts::kTitle);
    EXPECT_EQ(f->LblVerProgram->text(), texts::kVersion);
    EXPECT_EQ(f->LblAddress1->text(), QStringLiteral("Pelorin"));
    EXPECT_EQ(f->LblAddress2->text(), QStringLiteral("Pelorin"));
    EXPECT_TRUE(f->LblMerrow1->text().startsWith(texts::kCreditPrefix));
    EXPECT_GT(f->LblMerrow1->text().size(), texts::kCreditPrefix.size());
    EXPECT_EQ(f->LblMerrow2->text(), f->LblMerrow1->text());

    // Each shadow lies a little left of and below its label, and under it.
    for (auto [front, shadow] :
         {std::pair{f->LblAddress1, f->LblAddress2}, std::pair{f->LblMerrow1, f->LblMerrow2}}) {
        EXPECT_LE(shadow->x(), front->x());
        EXPECT_GT(shadow->y(), front->y());
        const auto siblings = f->children();
        EXPECT_LT(siblings.indexOf(shadow), siblings.indexOf(front));
    }

    const QStringList lines = f->TxtMov->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 24);
    EXPECT_EQ(lines.first(), QStringLiteral("بسم الله الرحمن الرحيم"));
    EXPECT_TRUE(lines[18].contains(QUrl(FrmAbout::WebAddress()).host()));
    EXPECT_EQ(f->TxtMovTop(), 1080);
    EXPECT_GT(f->TxtMovHeight(), f->PictMovInnerHeight()); // the text is longer than its viewport

    FrmAbout fresh(nullptr);
    EXPECT_TRUE(fresh.TimThank->isActive());
    EXPECT_EQ(fresh.TimThank->interval(), 20);
    EXPECT_TRUE(fresh.TmrWebMerrow1->isActive());
    EXPECT_EQ(fresh.TmrWebMerrow1->interval(), 1000);
    EXPECT_FALSE(fresh.TmrWebMerrow2->isActive());
    EXPECT_EQ(fresh.TmrWebMerrow2->interval(), 1000);
}

TEST_F(FrmAboutTest, TheTextRisesTenTwipsATick)
{
    ticks(1);
    EXPECT_EQ(f->TxtMovTop(), 1070);
    ticks(9);
    EXPECT_EQ(f->TxtMovTop(), 980);
    EXPECT_EQ(f->TxtMov->y(), pelorin::chrome::tw(980));
}

TEST_F(FrmAboutTest, TheRealTimerScrolls)
{
    f->TimThank->start();
    QTest::qWait(200);
    EXPECT_LT(f->TxtMovTop(), 1080);
}

TEST_F(FrmAboutTest, AfterTheLastLineHasGoneTheTextEntersFromTheBottom)
{
    const int height = f->TxtMovHeight();
    int previous = f->TxtMovTop();
    int guard = 0;
    while (f->TxtMovTop() <= previous && ++guard < 10000) {
        previous = f->TxtMovTop();
        ticks(1);
    }
    ASSERT_LT(guard, 10000);
    // It rose until it was wholly out of sight, and no further.
    EXPECT_LE(previous, -height);
    EXPECT_GT(previous, -height - FrmAbout::kScrollStepTwips);
    EXPECT_EQ(f->TxtMovTop(), f->PictMovInnerHeight());
    ticks(1);
    EXPECT_EQ(f->TxtMovTop(), f->PictMovInnerHeight() - 10);
}

TEST_F(FrmAboutTest, ThePointerInsideTheActiveViewportHoldsTheText)
{
    const QRect r = viewport();
    const int right = r.left() + r.width(), bottom = r.top() + r.height();
    const QPoint centre = r.center();
    QWidget other;
    struct Case {
        const char* name;
        QPoint cursor;
        bool inside;
    } cases[] = {
        {"centre", centre, true},
        {"just inside top left", QPoint(r.left() + 1, r.top() + 1), true},
        {"just inside bottom right", QPoint(right - 1, bottom - 1), true},
        {"left edge", QPoint(r.left(), centre.y()), false},
        {"right edge", QPoint(right, centre.y()), false},
        {"top edge", QPoint(centre.x(), r.top()), false},
        {"bottom edge", QPoint(centre.x(), bottom), false},
        {"far away", QPoint(0, 0), false},
    };
    for (const Case& c : cases) {
        for (QWidget* active : {static_cast<QWidget*>(f.get()), &other, static_cast<QWidget*>(nullptr)}) {
            SCOPED_TRACE(std::string(c.name) + (active == f.get() ? ", active" : ", not active"));
            platform.cursor = c.cursor;
            platform.active = active;
            const int before = f->TxtMovTop();
            ticks(1);
            EXPECT_EQ(f->lastActiveWindow(), active);
            const bool held = c.inside && active == f.get();
            EXPECT_EQ(f->TxtMovTop(), held ? before : before - 10);
        }
    }
}

TEST_F(FrmAboutTest, HoldingTheCloseImageStopsTheText)
{
    f->TimThank->start();
    QTest::mousePress(f->ImgExit(), Qt::LeftButton);
    EXPECT_FALSE(f->TimThank->isActive());
    EXPECT_EQ(f->exitPicture(), FrmAbout::ExitPicture::Down);
    // Let go away from the image: the text runs on and the window stays.
    QTest::mouseRelease(f->ImgExit(), Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_TRUE(f->TimThank->isActive());
    EXPECT_EQ(f->exitPicture(), FrmAbout::ExitPicture::Up);
    EXPECT_TRUE(f->isVisible());

    QTest::mouseClick(f->ImgExit(), Qt::LeftButton);
    EXPECT_FALSE(f->isVisible());
}

TEST_F(FrmAboutTest, TheBannerAlternatesAndOpensTheSiteOnALeftPress)
{
    const auto shown = [&] { return f->ImWebMerrow->pixmap().toImage(); };
    EXPECT_EQ(shown(), f->ImWebMerrow1->pixmap().toImage());
    EXPECT_FALSE(f->ImWebMerrow1->pixmap().isNull());
    EXPECT_NE(f->ImWebMerrow1->pixmap().toImage(), f->ImWebMerrow2->pixmap().toImage());

    f->TmrWebMerrow1_Timer();
    EXPECT_EQ(shown(), f->ImWebMerrow2->pixmap().toImage());
    EXPECT_TRUE(f->TmrWebMerrow2->isActive());
    EXPECT_FALSE(f->TmrWebMerrow1->isActive());
    f->TmrWebMerrow2_Timer();
    EXPECT_EQ(shown(), f->ImWebMerrow1->pixmap().toImage());
    EXPECT_TRUE(f->TmrWebMerrow1->isActive());
    EXPECT_FALSE(f->TmrWebMerrow2->isActive());

    QTest::mousePress(f->ImWebMerrow, Qt::RightButton);
    QTest::mousePress(f->ImWebMerrow, Qt::MiddleButton);
    EXPECT_TRUE(platform.openedUrls.isEmpty());
    QTest::mousePress(f->ImWebMerrow, Qt::LeftButton);
    ASSERT_EQ(platform.openedUrls.size(), 1);
    EXPECT_EQ(platform.openedUrls[0], FrmAbout::WebAddress());
    EXPECT_TRUE(FrmAbout::WebAddress().startsWith(QStringLiteral("http")));
    EXPECT_FALSE(FrmAbout::WebAddress().endsWith(QLatin1Char('/')));
}

TEST_F(FrmAboutTest, EscapeCloses)
{
    QTest::keyClick(f.get(), Qt::Key_Escape);
    EXPECT_FALSE(f->isVisible());
}
