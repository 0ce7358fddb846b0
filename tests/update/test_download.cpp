#include <QSignalSpy>

#include <gtest/gtest.h>

#include "download.h"
#include "loopback_http.h"

using pelorin::test::ClosedPort;
using pelorin::test::HttpAnswer;
using pelorin::test::LoopbackHttp;
using pelorin::test::WaitFor;
using pelorin::update::Download;

namespace {

struct Events {
    explicit Events(Download& d)
        : progress(&d, &Download::DownloadProgress), error(&d, &Download::DownloadError),
          complete(&d, &Download::DownloadComplete)
    {
    }
    int total() const { return int(progress.size() + error.size() + complete.size()); }
    QSignalSpy progress, error, complete;
};

// Answers path with body; returns its address.
QString Serve(LoopbackHttp& http, const QString& path, const QByteArray& body)
{
    http.answers[path] = HttpAnswer{200, body};
    return http.url(path);
}

// Holds every request for path until the test releases it; returns its address.
QString Hold(LoopbackHttp& http, const QString& path)
{
    http.answers[path] = HttpAnswer{200, {}, true};
    return http.url(path);
}

// The completion at index i names key and carries body.
::testing::AssertionResult Completed(const Events& ev, int i, const QString& key, const QByteArray& body)
{
    if (i >= ev.complete.size())
        return ::testing::AssertionFailure() << "only " << ev.complete.size() << " completions";
    const QString gotKey = ev.complete[i][0].toString();
    const QByteArray gotBody = ev.complete[i][1].toByteArray();
    if (gotKey == key && gotBody == body) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "completion " << i << " is [" << gotKey.toStdString()
                                         << "] with [" << gotBody.toStdString() << "]";
}

} // namespace

TEST(Download, DeliversTheBytesUnderItsKeyAndAsksForAFreshCopy)
{
    LoopbackHttp http;
    const QByteArray body("1.02\r\nhttp://downloads.example.org/pelorin");
    const QString url = Serve(http, QStringLiteral("/v.txt"), body);
    Download d;
    Events ev(d);

    d.BeginDownload(url, QStringLiteral("k1"));
    ASSERT_TRUE(WaitFor([&] { return !ev.complete.isEmpty() || !ev.error.isEmpty(); }));

    ASSERT_EQ(ev.error.size(), 0) << ev.error.first().at(2).toString().toStdString();
    ASSERT_EQ(ev.complete.size(), 1);
    EXPECT_TRUE(Completed(ev, 0, QStringLiteral("k1"), body));
    EXPECT_EQ(ev.complete[0][2].toInt(), 2);
    EXPECT_FALSE(d.isRunning(QStringLiteral("k1")));

    // Progress never reports failure, names the read, and has a text for every step.
    ASSERT_FALSE(ev.progress.isEmpty());
    for (const auto& p : ev.progress) {
        EXPECT_EQ(p[0].toString(), QStringLiteral("k1"));
        EXPECT_NE(p[3].toInt(), 0);
        EXPECT_FALSE(p[4].toString().isEmpty());
    }
    const auto& last = ev.progress.last();
    EXPECT_EQ(last[3].toInt(), 6);
    EXPECT_EQ(last[1].toInt(), body.size());

    ASSERT_EQ(http.requests.size(), 1);
    EXPECT_TRUE(http.requests[0].toLower().contains("cache-control: no-cache"));
}

TEST(Download, WithoutTheNewestVersionOptionNoFreshCopyIsDemanded)
{
    LoopbackHttp http;
    const QString url = Serve(http, QStringLiteral("/v.txt"), "x");
    Download d;
    Events ev(d);
    d.BeginDownload(url, QStringLiteral("k"), 2, 0);
    ASSERT_TRUE(WaitFor([&] { return !ev.complete.isEmpty(); }));
    EXPECT_FALSE(http.requests[0].toLower().contains("no-cache"));
}

TEST(Download, FailuresArriveAsErrorsNeverAsCompletion)
{
    LoopbackHttp http;
    http.answers[QStringLiteral("/broken")] = HttpAnswer{500, "oops"};
    struct Case {
        const char* name;
        QString url;
    } cases[] = {
        {"404", http.url(QStringLiteral("/missing"))},
        {"500", http.url(QStringLiteral("/broken"))},
        {"closed port", QStringLiteral("http://127.0.0.1:%1/v.txt").arg(ClosedPort())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Download d;
        Events ev(d);
        d.BeginDownload(c.url, QStringLiteral("key"));
        ASSERT_TRUE(WaitFor([&] { return !ev.error.isEmpty(); }));
        QTest::qWait(50);
        EXPECT_EQ(ev.complete.size(), 0);
        EXPECT_EQ(ev.error[0][0].toString(), QStringLiteral("key"));
        EXPECT_EQ(ev.error[0][1].toInt(), 0);
        EXPECT_FALSE(ev.error[0][2].toString().isEmpty());
        EXPECT_FALSE(d.isRunning(QStringLiteral("key")));
    }
}

TEST(Download, AServerThatNeverAnswersEndsInAnErrorAfterTheTransferTimeout)
{
    LoopbackHttp http;
    const QString slow = Hold(http, QStringLiteral("/slow"));
    Download d;
    d.setTransferTimeout(200);
    Events ev(d);
    d.BeginDownload(slow, QStringLiteral("k"));
    ASSERT_TRUE(WaitFor([&] { return !ev.error.isEmpty(); }, 3000));
    EXPECT_EQ(ev.complete.size(), 0);
    EXPECT_EQ(ev.error[0][1].toInt(), 0);
}

TEST(Download, ReadsThatCannotStartAreReportedAtOnce)
{
    LoopbackHttp http;
    const QString slow = Hold(http, QStringLiteral("/slow"));
    Download d;
    Events ev(d);

    d.BeginDownload(QStringLiteral("not an address"), QStringLiteral("bad"));
    ASSERT_EQ(ev.error.size(), 1); // before returning
    EXPECT_EQ(ev.error[0][0].toString(), QStringLiteral("bad"));
    EXPECT_NE(ev.error[0][1].toInt(), 0);

    // A second read under a running key is refused; the first one goes on.
    d.BeginDownload(slow, QStringLiteral("k"));
    d.BeginDownload(slow, QStringLiteral("k"));
    ASSERT_EQ(ev.error.size(), 2);
    EXPECT_EQ(ev.error[1][0].toString(), QStringLiteral("k"));
    EXPECT_TRUE(d.isRunning(QStringLiteral("k")));
    ASSERT_TRUE(WaitFor([&] { return http.heldCount() == 1; }));
    http.release(QStringLiteral("/slow"), "late");
    ASSERT_TRUE(WaitFor([&] { return !ev.complete.isEmpty(); }));
    EXPECT_TRUE(Completed(ev, 0, QStringLiteral("k"), "late"));
}

TEST(Download, TwoKeysRunAtOnceAndEachResultKeepsItsKey)
{
    LoopbackHttp http;
    Download d;
    Events ev(d);
    d.BeginDownload(Hold(http, QStringLiteral("/first")), QStringLiteral("a"));
    d.BeginDownload(Serve(http, QStringLiteral("/second"), "second body"), QStringLiteral("b"));
    EXPECT_TRUE(d.isRunning(QStringLiteral("a")));
    EXPECT_TRUE(d.isRunning(QStringLiteral("b")));

    // The later read finishes first while the earlier one is still held by the server.
    ASSERT_TRUE(WaitFor([&] { return ev.complete.size() == 1 && http.heldCount() == 1; }));
    EXPECT_TRUE(Completed(ev, 0, QStringLiteral("b"), "second body"));
    http.release(QStringLiteral("/first"), "first body");
    ASSERT_TRUE(WaitFor([&] { return ev.complete.size() == 2; }));
    EXPECT_TRUE(Completed(ev, 1, QStringLiteral("a"), "first body"));
    EXPECT_EQ(ev.error.size(), 0);
}

TEST(Download, CancelSilencesOnlyItsOwnRead)
{
    LoopbackHttp http;
    Download d;
    Events ev(d);
    d.BeginDownload(Hold(http, QStringLiteral("/held")), QStringLiteral("stop me"));
    ASSERT_TRUE(WaitFor([&] { return http.heldCount() == 1; }));
    const int before = ev.total();

    d.Cancel(QStringLiteral("stop me"));
    d.Cancel(QStringLiteral("never started")); // nothing to do, nothing raised
    EXPECT_FALSE(d.isRunning(QStringLiteral("stop me")));
    http.release(QStringLiteral("/held"), "too late");
    d.BeginDownload(Serve(http, QStringLiteral("/quick"), "quick"), QStringLiteral("other"));
    ASSERT_TRUE(WaitFor([&] { return !ev.complete.isEmpty(); }));
    QTest::qWait(100);

    for (int i = before; i < ev.progress.size(); ++i) {
        EXPECT_EQ(ev.progress[i][0].toString(), QStringLiteral("other"));
    }
    EXPECT_EQ(ev.error.size(), 0);
    ASSERT_EQ(ev.complete.size(), 1);
    EXPECT_TRUE(Completed(ev, 0, QStringLiteral("other"), "quick"));
}

TEST(Download, AnErrorHandlerMayCancelItsOwnKey)
{
    LoopbackHttp http;
    Download d;
    int errors = 0;
    QObject::connect(&d, &Download::DownloadError, [&](const QString& key, qint32, const QString&) {
        ++errors;
        d.Cancel(key);
    });
    d.BeginDownload(http.url(QStringLiteral("/missing")), QStringLiteral("k"));
    ASSERT_TRUE(WaitFor([&] { return errors > 0; }));
    QTest::qWait(50);
    EXPECT_EQ(errors, 1);
}

TEST(Download, DestroyingTheControlEndsItsReadsQuietly)
{
    LoopbackHttp http;
    http.answers[QStringLiteral("/held")] = HttpAnswer{200, "", true};
    int events = 0;
    {
        Download d;
        QObject::connect(&d, &Download::DownloadError, [&] { ++events; });
        QObject::connect(&d, &Download::DownloadComplete, [&] { ++events; });
        d.BeginDownload(http.url(QStringLiteral("/held")), QStringLiteral("k"));
        ASSERT_TRUE(WaitFor([&] { return http.heldCount() == 1; }));
    }
    http.release(QStringLiteral("/held"), "body");
    QTest::qWait(100);
    EXPECT_EQ(events, 0);
}

TEST(Download, StatusTexts)
{
    const std::pair<qint32, const char*> table[] = {
        {0, "An Error Has Occurred."},
        {1, "Finding Resource."},
        {2, "Connecting To Resource."},
        {3, "Redirecting."},
        {4, "Download Initialized."},
        {5, "Download In Progress."},
        {6, "Download Complete."},
        {7, "Unknown."},
        {8, "Unknown."},
        {9, "Unknown."},
        {10, "Using Cached Copy."},
        {11, "Sending Request."},
        {12, "Unknown."},
        {13, "MIME Type Is Available."},
        {14, "Local Cache File Is Available."},
        {15, "Synchronous Download Has Started."},
        {16, "Synchronous Download Complete."},
        {17, "Unknown."},
        {-1, "Unknown."},
        {2147483647, "Unknown."},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(Download::GetStatusCode(code), QString::fromLatin1(text)) << code;
}
