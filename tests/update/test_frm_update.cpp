#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include "download.h"
#include "fake_platform.h"
#include "frm_update.h"
#include "loopback_http.h"
#include "update_texts.h"

using namespace pelorin::update;
using pelorin::test::FakePlatform;
using pelorin::test::HttpAnswer;
using pelorin::test::LoopbackHttp;
using pelorin::test::WaitFor;

namespace {

const QString kPath = QStringLiteral("/myfiles/Pelorin.txt");

class FrmUpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f = std::make_unique<FrmUpdate>(nullptr);
        f->setVersionFileUrl(http.url(kPath));
        // The time budget is driven by hand: the real timer is enabled but never comes round.
        f->TmrTimeEnd->setInterval(3600 * 1000);
        f->show();
    }

    void serve(const QByteArray& body) { http.answers[kPath] = HttpAnswer{200, body}; }
    void hold() { http.answers[kPath] = HttpAnswer{200, {}, true}; }
    void click() { QTest::mouseClick(f->LblVerNew, Qt::LeftButton); }
    void press(Qt::MouseButton b)
    {
        QTest::mousePress(f->LblVerNew, b);
        QTest::mouseRelease(f->LblVerNew, b);
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            f->TmrTimeEnd_Timer();
    }
    // Starts a check against body and waits for its outcome.
    void check(const QByteArray& body)
    {
        serve(body);
        click();
        ASSERT_EQ(f->UpdateState, QStringLiteral("2"));
        ASSERT_TRUE(WaitFor([&] { return f->isEnabled(); }));
    }
    void expectCheckEnded()
    {
        EXPECT_TRUE(f->isEnabled());
        EXPECT_TRUE(f->LblVerNew->isVisible());
        EXPECT_FALSE(f->picProgress->isVisible());
        EXPECT_FALSE(f->ShpProgress->isVisible());
        EXPECT_FALSE(f->TmrTimeEnd->isActive());
        EXPECT_FALSE(f->screenPointerIsHourglass());
    }

    FakePlatform platform;
    LoopbackHttp http;
    std::unique_ptr<FrmUpdate> f;
};

} // namespace

TEST_F(FrmUpdateTest, OpensReadyToCheck)
{
    EXPECT_EQ(f->UpdateState, QStringLiteral("1"));
    EXPECT_EQ(f->LblVerNew->text(), texts::kStartCaption);
    EXPECT_EQ(f->LblVerNew->toolTip(), texts::kStartToolTip);
    EXPECT_EQ(f->LblMain()->text(), texts::kTitle);
    EXPECT_EQ(f->FrameUpdate->title(), texts::kFrameCaption);
    EXPECT_FALSE(f->picProgress->isVisible());
    EXPECT_FALSE(f->ShpProgress->isVisible());
    EXPECT_FALSE(f->TmrTimeEnd->isActive());
    EXPECT_EQ(f->LblPrgressNum->text(), QStringLiteral("0"));
    EXPECT_TRUE(f->isEnabled());

    const QString url = FrmUpdate::DefaultVersionFileUrl();
    EXPECT_TRUE(url.startsWith(QStringLiteral("http")));
    EXPECT_TRUE(url.endsWith(QStringLiteral("/myfiles/Pelorin.txt")));
    EXPECT_FALSE(url.contains(QStringLiteral("//myfiles")));
}

TEST_F(FrmUpdateTest, OutcomeOfTheVersionFile)
{
    struct Case {
        QByteArray body;
        QString state;
        QString caption;
        QString url;
    } cases[] = {
        {"1.01\r\nhttp://dl.example.org/p", "4", texts::kUpToDateCaption, ""},
        {"1.00\r\nhttp://dl.example.org/p", "4", texts::kUpToDateCaption, ""},
        {"abcd\r\nhttp://dl.example.org/p", "4", texts::kUpToDateCaption, ""},
        {"", "4", texts::kUpToDateCaption, ""},
        {"1.02\r\nhttp://dl.example.org/p\r\n", "2",
         texts::kNewVersionBefore + "1.02" + texts::kNewVersionAfter, "http://dl.example.org/p"},
        {"1.1\r\nhttp://dl.example.org/p", "2", texts::kNewVersionBefore + "1.1" + texts::kNewVersionAfter,
         "http://dl.example.org/p"},
        {"2.00\nhttps://dl.example.org/q", "2", texts::kNewVersionBefore + "2.00" + texts::kNewVersionAfter,
         "https://dl.example.org/q"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        SetUp();
        check(c.body);
        expectCheckEnded();
        EXPECT_EQ(f->UpdateState, c.state);
        EXPECT_EQ(f->LblVerNew->text(), c.caption);
        EXPECT_EQ(f->TimeCount, 0);
        const bool link = c.state == QStringLiteral("2");
        EXPECT_EQ(f->LblVerNew->font().underline(), link);
        EXPECT_EQ(f->LblVerNew->toolTip(), link ? texts::kNewVersionToolTip : texts::kUpToDateToolTip);
        if (link) {
            EXPECT_EQ(f->UrlNew, c.url);
        }
    }
}

TEST_F(FrmUpdateTest, TheVersionIsShownAsItStandsNeverAsMarkup)
{
    // Four characters from the server that happen to form a tag must not restyle the caption.
    check("9<b>\r\nhttp://dl.example.org/p");
    ASSERT_EQ(f->UpdateState, QStringLiteral("2"));
    const QString caption = texts::kNewVersionBefore + QStringLiteral("9<b>") + texts::kNewVersionAfter;
    EXPECT_EQ(f->LblVerNew->text(), caption);

    auto* reference = new QLabel(f->LblVerNew->parentWidget());
    reference->setTextFormat(Qt::PlainText);
    reference->setFont(f->LblVerNew->font());
    reference->setAlignment(f->LblVerNew->alignment());
    reference->setWordWrap(f->LblVerNew->wordWrap());
    reference->setGeometry(f->LblVerNew->geometry());
    reference->setText(caption);
    reference->show();
    EXPECT_EQ(f->LblVerNew->grab().toImage(), reference->grab().toImage());
}

TEST_F(FrmUpdateTest, WhileCheckingTheWindowIsDisabledAndTheBarMeasuresTheBudget)
{
    hold();
    click();
    ASSERT_TRUE(WaitFor([&] { return http.heldCount() == 1; }));
    EXPECT_TRUE(http.requests[0].startsWith("GET /myfiles/Pelorin.txt "));
    EXPECT_EQ(f->UpdateState, QStringLiteral("2"));
    EXPECT_FALSE(f->isEnabled());
    EXPECT_FALSE(f->LblVerNew->isVisible());
    EXPECT_TRUE(f->picProgress->isVisible());
    EXPECT_TRUE(f->ShpProgress->isVisible());
    EXPECT_TRUE(f->TmrTimeEnd->isActive());
    EXPECT_EQ(f->TmrTimeEnd->interval() > 0, true);

    // Escape cannot close the window in the middle of a check.
    QTest::keyClick(f.get(), Qt::Key_Escape);
    EXPECT_TRUE(f->isVisible());

    ticks(1);
    EXPECT_EQ(f->LblPrgressNum->text(), QStringLiteral("1 %"));
    EXPECT_TRUE(f->screenPointerIsHourglass());
    EXPECT_EQ(f->LblVerNew->cursor().shape(), Qt::WaitCursor);
    ticks(49);
    EXPECT_EQ(f->LblPrgressNum->text(), QStringLiteral("50 %"));
    EXPECT_EQ(f->progressWidthTwips(), (2790 - 2 * 45) / 2);
    ticks(50);
    EXPECT_EQ(f->LblPrgressNum->text(), QStringLiteral("100 %"));
    EXPECT_EQ(f->progressWidthTwips(), 2790 - 2 * 45);
    EXPECT_EQ(f->UpdateState, QStringLiteral("2"));

    ticks(1); // the 101st tick spends the budget
    expectCheckEnded();
    EXPECT_EQ(f->UpdateState, QStringLiteral("3"));
    EXPECT_TRUE(f->TimeEnd);
    EXPECT_EQ(f->TimeCount, 0);
    EXPECT_EQ(f->LblVerNew->text(), texts::kServerProblemCaption);
    EXPECT_EQ(f->LblVerNew->toolTip(), texts::kLaterToolTip);

    // The answer that finally comes changes nothing.
    http.release(kPath, "1.02\r\nhttp://dl.example.org/p");
    QTest::qWait(100);
    f->Download1_DownloadComplete(FrmUpdate::ReadKey(), "1.02\r\nhttp://dl.example.org/p", 2);
    EXPECT_EQ(f->UpdateState, QStringLiteral("3"));
    EXPECT_EQ(f->LblVerNew->text(), texts::kServerProblemCaption);
    EXPECT_TRUE(f->UrlNew.isEmpty());
}

TEST_F(FrmUpdateTest, AFailedReadWaitsForTheTimeBudget)
{
    // No answer registered: the server says 404.
    click();
    ASSERT_TRUE(
        WaitFor([&] { return !http.requests.isEmpty() && !f->Download1->isRunning(FrmUpdate::ReadKey()); }));
    QTest::qWait(50);
    EXPECT_EQ(f->UpdateState, QStringLiteral("2"));
    EXPECT_FALSE(f->isEnabled());
    ticks(101);
    expectCheckEnded();
    EXPECT_EQ(f->UpdateState, QStringLiteral("3"));
}

TEST_F(FrmUpdateTest, OfflineAtTheClick)
{
    platform.connected = false;
    click();
    EXPECT_EQ(f->UpdateState, QStringLiteral("5"));
    EXPECT_EQ(f->LblVerNew->text(), texts::kOfflineCaption);
    EXPECT_EQ(f->LblVerNew->toolTip(), texts::kNeedOnlineToolTip);
    EXPECT_TRUE(f->isEnabled());
    EXPECT_FALSE(f->picProgress->isVisible());
    QTest::qWait(50);
    EXPECT_TRUE(http.requests.isEmpty());
}

TEST_F(FrmUpdateTest, ConnectionLostDuringTheCheck)
{
    hold();
    click();
    ASSERT_TRUE(WaitFor([&] { return http.heldCount() == 1; }));
    ticks(3);
    platform.connected = false;
    ticks(1);
    expectCheckEnded();
    EXPECT_EQ(f->UpdateState, QStringLiteral("5"));
    EXPECT_TRUE(f->TimeEnd);
    EXPECT_EQ(f->LblVerNew->text(), texts::kLostCaption);
    EXPECT_EQ(f->LblVerNew->toolTip(), texts::kNeedOnlineToolTip);

    platform.connected = true;
    http.release(kPath, "1.02\r\nhttp://dl.example.org/p");
    QTest::qWait(100);
    f->Download1_DownloadComplete(FrmUpdate::ReadKey(), "1.02\r\nhttp://dl.example.org/p", 2);
    EXPECT_EQ(f->LblVerNew->text(), texts::kLostCaption);
}

TEST_F(FrmUpdateTest, TheLinkOpensTheDownloadPage)
{
    check("1.02\r\nhttp://dl.example.org/pelorin?v=1.02\r\n");
    ASSERT_EQ(f->UpdateState, QStringLiteral("2"));

    press(Qt::RightButton);
    EXPECT_TRUE(platform.openedUrls.isEmpty());
    press(Qt::LeftButton);
    QTest::keyClick(f.get(), Qt::Key_F5);
    EXPECT_EQ(platform.openedUrls, QStringList({QStringLiteral("http://dl.example.org/pelorin?v=1.02"),
                                                QStringLiteral("http://dl.example.org/pelorin?v=1.02")}));
    EXPECT_EQ(http.requests.size(), 1); // no second check
}

TEST_F(FrmUpdateTest, OnlyWebPagesAreOpenedFromTheVersionFile)
{
    for (const QByteArray& address :
         {QByteArray("file:///bin/sh"), QByteArray("/usr/bin/xterm"), QByteArray("javascript:alert(1)"),
          QByteArray("http://"), QByteArray("")}) {
        SCOPED_TRACE(address.toStdString());
        SetUp();
        check("1.02\r\n" + address);
        ASSERT_EQ(f->UpdateState, QStringLiteral("2"));
        press(Qt::LeftButton);
        QTest::keyClick(f.get(), Qt::Key_F5);
        EXPECT_TRUE(platform.openedUrls.isEmpty());
    }
}

TEST_F(FrmUpdateTest, FinishedChecksIgnoreClicksPressesAndF5)
{
    const auto upToDate = [&] { check("1.01\r\nhttp://dl.example.org/p"); };
    const auto timedOut = [&] {
        hold();
        click();
        ticks(101);
    };
    const auto offline = [&] {
        platform.connected = false;
        click();
        platform.connected = true;
    };
    const std::pair<const char*, std::function<void()>> outcomes[] = {
        {"3", timedOut}, {"4", upToDate}, {"5", offline}};
    for (const auto& [state, reach] : outcomes) {
        SCOPED_TRACE(state);
        SetUp();
        http.requests.clear();
        reach();
        ASSERT_EQ(f->UpdateState, QString::fromLatin1(state));
        QTest::qWait(20);
        const QString caption = f->LblVerNew->text();
        const auto requests = http.requests.size();

        click();
        press(Qt::LeftButton);
        QTest::keyClick(f.get(), Qt::Key_F5);
        QTest::qWait(50);

        EXPECT_EQ(f->UpdateState, QString::fromLatin1(state));
        EXPECT_EQ(f->LblVerNew->text(), caption);
        EXPECT_EQ(http.requests.size(), requests);
        EXPECT_TRUE(platform.openedUrls.isEmpty());
        EXPECT_FALSE(f->TmrTimeEnd->isActive());
    }
}

TEST_F(FrmUpdateTest, F5StartsTheCheckAndEscapeClosesAfterwards)
{
    serve("1.01\r\nhttp://dl.example.org/p");
    QTest::keyClick(f.get(), Qt::Key_F5);
    EXPECT_EQ(f->UpdateState, QStringLiteral("2"));
    ASSERT_TRUE(WaitFor([&] { return f->isEnabled(); }));
    EXPECT_EQ(f->UpdateState, QStringLiteral("4"));
    QTest::keyClick(f.get(), Qt::Key_Escape);
    EXPECT_FALSE(f->isVisible());
}

TEST_F(FrmUpdateTest, NoFileInTheWorkingFolderTakesPartInTheCheck)
{
    // A leftover, read-only version file from an earlier program must neither be read nor touched.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString leftover = dir.filePath(QStringLiteral("Pelorin.txt"));
    {
        QFile file(leftover);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("9.99\r\nhttp://old.example.org\r\n");
    }
    QFile::setPermissions(leftover, QFile::ReadOwner);
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());

    check("1.01\r\nhttp://dl.example.org/p");
    QDir::setCurrent(before);

    EXPECT_EQ(f->UpdateState, QStringLiteral("4"));
    QFile file(leftover);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("9.99\r\nhttp://old.example.org\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("Pelorin.txt")}));
    QFile::setPermissions(leftover, QFile::ReadOwner | QFile::WriteOwner);
}
