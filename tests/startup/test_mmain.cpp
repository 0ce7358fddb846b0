// Which window a start shows, and what it leaves in the settings, for each combination of
// running copy, language, first-run state and administrator rights.
#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>

#include "database_test.h"
#include "frm_file_install.h"
#include "frm_main.h"
#include "frm_no_arabin.h"
#include "mdata.h"
#include "mmain.h"
#include "opening.h"
#include "startup_support.h"
#include "test_db.h"

namespace pelorin::startup {
namespace {

using test::EndsProgram;
using test::VisibleWindows;

enum class Outcome { Ended, NoArabin, FileInstall, Ledger, Relaunched };

const char* OutcomeName(Outcome o)
{
    switch (o) {
    case Outcome::Ended:
        return "ended";
    case Outcome::NoArabin:
        return "language notice";
    case Outcome::FileInstall:
        return "installer";
    case Outcome::Ledger:
        return "ledger";
    case Outcome::Relaunched:
        return "relaunched";
    }
    return "?";
}

class StartupTest : public test::DatabaseTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DatabaseTest::SetUp());
        fake.temp = dir.path();
        ASSERT_TRUE(test::CreateDatabase(path));
        // The start sets the key itself.
        store::MData::DbPassword.clear();
    }
    void TearDown() override
    {
        test::DeleteAllWindows();
        DatabaseTest::TearDown();
    }

    // Runs a start and names what it came to.
    Outcome Start()
    {
        const bool ended = EndsProgram([] { MMain::Main(); });
        const int notices = int(VisibleWindows<FrmNoArabin>().size());
        const int installers = int(VisibleWindows<FrmFileInstall>().size());
        const int ledgers = int(VisibleWindows<ledger::FrmMain>().size());
        EXPECT_LE(notices + installers + ledgers, 1) << "a start shows at most one window";
        if (ended) {
            EXPECT_EQ(notices + installers + ledgers, 0) << "a copy that ends shows nothing";
            return fake.runAsAdminCalls.isEmpty() ? Outcome::Ended : Outcome::Relaunched;
        }
        if (notices) return Outcome::NoArabin;
        if (installers) return Outcome::FileInstall;
        if (ledgers) return Outcome::Ledger;
        ADD_FAILURE() << "Main returned without showing a window";
        return Outcome::Ended;
    }

    QString Setting(const QString& key) const
    {
        return fake.settings.value(QStringLiteral("Setting/") + key, QStringLiteral("<absent>"));
    }
};

struct Row {
    const char* name;
    bool otherCopyRuns;
    std::optional<QString> asAdmin; // stored before the start
    quint16 langId;                 // the session's language
    bool arabicFont;                // a font with Arabic letters is available
    std::optional<QString> install; // stored before the start
    bool admin;
    Outcome expected;
    QString asAdminAfter;
    bool adminAsked;  // whether the rights were tested
    bool installRead; // whether "Install" was read
};

class StartupDecision : public StartupTest, public ::testing::WithParamInterface<Row> {};

TEST_P(StartupDecision, ShowsTheRightWindowAndLeavesTheSettings)
{
    const Row& r = GetParam();
    fake.prevInstanceValue = r.otherCopyRuns;
    if (r.asAdmin) fake.settings[QStringLiteral("Setting/AsAdmin")] = *r.asAdmin;
    if (r.install) fake.settings[QStringLiteral("Setting/Install")] = *r.install;
    fake.langId = r.langId;
    fake.arabicFont = r.arabicFont;
    fake.adminValue = r.admin;

    const Outcome got = Start();

    EXPECT_EQ(OutcomeName(got), std::string(OutcomeName(r.expected)));
    EXPECT_EQ(Setting(QStringLiteral("AsAdmin")), r.asAdminAfter);
    EXPECT_EQ(fake.adminCalls > 0, r.adminAsked);
    EXPECT_EQ(fake.settingReads.value(QStringLiteral("Setting/Install")) > 0, r.installRead);
    EXPECT_TRUE(fake.messages.isEmpty()) << "no start shows a message box";
    EXPECT_EQ(store::MData::DbPassword, store::MData::kPassword);
    // No path writes the first-run state: only the installer's payload and the set-up do.
    EXPECT_FALSE(fake.settingWrites.join(',').contains(QStringLiteral("Install")));
    if (got == Outcome::Relaunched) {
        EXPECT_EQ(fake.runAsAdminCalls, QStringList{dir.path() + QStringLiteral("/Pelorin")});
    } else {
        EXPECT_TRUE(fake.runAsAdminCalls.isEmpty());
    }
    if (got != Outcome::Ended && got != Outcome::Relaunched) {
        EXPECT_TRUE(fake.ends.isEmpty());
    } else {
        EXPECT_EQ(fake.ends, QVector<int>{0});
    }
}

const QString k1 = QStringLiteral("1");
const QString k0 = QStringLiteral("0");

INSTANTIATE_TEST_SUITE_P(
    Rows, StartupDecision,
    ::testing::Values(
        // A second copy ends before anything else, whatever the system can show.
        Row{"SecondCopyArabic", true, std::nullopt, 0x0401, true, k1, false, Outcome::Ended, "<absent>",
            false, false},
        Row{"SecondCopyNoArabicFont", true, k1, 0x0409, false, k1, false, Outcome::Ended, k1, false, false},
        Row{"SecondCopyDamagedFlag", true, QStringLiteral("x"), 0x0401, true, k1, false, Outcome::Ended, "x",
            false, false},
        // The elevated relaunch finds the copy that asked for it still running and goes on.
        Row{"ElevatedCopyShowsInstaller", true, k0, 0x0401, true, std::nullopt, true, Outcome::FileInstall,
            k1, true, true},
        Row{"ElevatedCopyInstalledShowsLedger", true, k0, 0x0401, true, k1, true, Outcome::Ledger, k1, false,
            true},
        Row{"ElevatedCopyNoArabicFont", true, QStringLiteral("0.0"), 0x0401, false, std::nullopt, true,
            Outcome::NoArabin, k1, false, false},
        // Showing Arabic is a matter of fonts: the session's language does not decide it.
        Row{"ArabicSession", false, std::nullopt, 0x0401, true, k1, false, Outcome::Ledger, k1, false, true},
        Row{"EnglishSessionWithArabicFont", false, k0, 0x0409, true, k1, false, Outcome::Ledger, k1, false,
            true},
        Row{"FrenchSessionFirstRun", false, std::nullopt, 0x040C, true, std::nullopt, true,
            Outcome::FileInstall, k1, true, true},
        // No Arabic font: the notice, and nothing else is read, tested or started.
        Row{"EnglishSessionNoArabicFont", false, k0, 0x0409, false, std::nullopt, false, Outcome::NoArabin,
            k1, false, false},
        Row{"ArabicSessionNoArabicFont", false, std::nullopt, 0x0401, false, k1, true, Outcome::NoArabin, k1,
            false, false},
        // First run without rights: relaunch elevated and end.
        Row{"FirstRunRelaunches", false, std::nullopt, 0x0401, true, std::nullopt, false, Outcome::Relaunched,
            k0, true, true},
        Row{"InstallZeroRelaunches", false, k1, 0x0401, true, k0, false, Outcome::Relaunched, k0, true, true},
        // First run with rights: the installer at once.
        Row{"FirstRunAsAdmin", false, std::nullopt, 0x0401, true, std::nullopt, true, Outcome::FileInstall,
            k1, true, true},
        Row{"InstallTwo", false, std::nullopt, 0x0401, true, QStringLiteral("2"), true, Outcome::FileInstall,
            k1, true, true},
        Row{"InstallNotANumber", false, std::nullopt, 0x0401, true, QStringLiteral("yes"), true,
            Outcome::FileInstall, k1, true, true},
        Row{"InstallEmpty", false, std::nullopt, 0x0401, true, QString(), true, Outcome::FileInstall, k1,
            true, true},
        // "Install" read as a number.
        Row{"InstallPadded", false, std::nullopt, 0x0401, true, QStringLiteral(" 1 "), false, Outcome::Ledger,
            k1, false, true},
        Row{"InstallOnePointZero", false, std::nullopt, 0x0401, true, QStringLiteral("1.0"), false,
            Outcome::Ledger, k1, false, true},
        // A fraction is not 1, for either setting.
        Row{"InstallOnePointFive", false, std::nullopt, 0x0401, true, QStringLiteral("1.5"), true,
            Outcome::FileInstall, k1, true, true},
        Row{"SecondCopyFlagOnePointFive", true, QStringLiteral("1.5"), 0x0401, true, k1, false,
            Outcome::Ledger, k1, false, true}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

TEST_F(StartupTest, LedgerIsShownBeforeAsAdminIsWrittenAgain)
{
    fake.settings[QStringLiteral("Setting/Install")] = QStringLiteral("1");
    int writesWhenShown = -1;
    struct ShowSpy : QObject {
        std::function<void()> onShow;
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Show && qobject_cast<ledger::FrmMain*>(o)) onShow();
            return false;
        }
    } spy;
    bool loadedWhenShown = false;
    spy.onShow = [&] {
        writesWhenShown = int(fake.settingWrites.size());
        loadedWhenShown = store::MData::Conn != nullptr;
    };
    qApp->installEventFilter(&spy);
    EXPECT_EQ(Start(), Outcome::Ledger);
    qApp->removeEventFilter(&spy);

    EXPECT_EQ(fake.settingWrites, (QStringList{"Setting/AsAdmin=1", "Setting/AsAdmin=1"}));
    EXPECT_EQ(writesWhenShown, 1);
    // The load ran inside the start, before the window appeared: the database is open.
    EXPECT_TRUE(loadedWhenShown);
    EXPECT_TRUE(store::MData::Conn != nullptr);
    ASSERT_EQ(VisibleWindows<ledger::FrmMain>().size(), 1);
    EXPECT_EQ(VisibleWindows<ledger::FrmMain>().first()->testAttribute(Qt::WA_DeleteOnClose), true);
}

TEST_F(StartupTest, LedgerLoadThatEndsTheProgramLeavesTheFirstWrite)
{
    // The ledger's load ends the program when the database cannot be opened.
    fake.settings[QStringLiteral("Setting/Install")] = QStringLiteral("1");
    fake.settings[QStringLiteral("Setting/AsAdmin")] = QStringLiteral("0");
    QFile::remove(path);
    int ledgersBehindMessage = -1;
    fake.onMessage = [&](const test::ShownMessage&) {
        ledgersBehindMessage = int(VisibleWindows<ledger::FrmMain>().size());
    };
    EXPECT_TRUE(EndsProgram([] { MMain::Main(); }));
    EXPECT_EQ(fake.settingWrites, QStringList{"Setting/AsAdmin=1"});
    // The error comes alone: the ledger never appears, not even empty behind the message.
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(ledgersBehindMessage, 0);
    EXPECT_EQ(test::VisibleWindowCount(), 0);
}

TEST_F(StartupTest, RelaunchWritesZeroBeforeAskingAndShowsNothing)
{
    EXPECT_EQ(Start(), Outcome::Relaunched);
    EXPECT_EQ(fake.settingWrites, (QStringList{"Setting/AsAdmin=1", "Setting/AsAdmin=0"}));
    EXPECT_EQ(test::VisibleWindowCount(), 0);
}

TEST_F(StartupTest, RelaunchHandshakeBetweenTwoCopies)
{
    // Copy A: no rights, first run.
    fake.adminValue = false;
    EXPECT_EQ(Start(), Outcome::Relaunched);
    // Copy B starts elevated while A's flag is still held, and reads A's "0".
    fake.runAsAdminCalls.clear();
    fake.ends.clear();
    fake.prevInstanceValue = true;
    fake.adminValue = true;
    EXPECT_EQ(Start(), Outcome::FileInstall);
    EXPECT_EQ(Setting(QStringLiteral("AsAdmin")), QStringLiteral("1"));
    // A third copy started while B runs ends silently.
    test::DeleteAllWindows();
    EXPECT_EQ(Start(), Outcome::Ended);
}

// The worker that opens and reads the ledger from the start of the process changes nothing a
// person sees when the ledger cannot be had: the same messages, in the same order, and no window
// behind them; a ledger whose table cannot be read all through still shows, with the same messages.
TEST_F(StartupTest, LedgerFailuresReadTheSameWithTheWorker)
{
    fake.settings[QStringLiteral("Setting/Install")] = QStringLiteral("1");
    auto write = [this](const QByteArray& bytes, qint64 at) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(at);
        f.write(bytes);
    };
    const struct {
        const char* what;
        std::function<void()> make;
        bool ends;
    } cases[] = {
        {"missing", [] {}, true},
        {"damaged", [&] { write(QByteArray(4096, '\x5a'), 0); }, true},
        {"foreign (no key)", [&] { ASSERT_TRUE(test::CreateDatabase(path, QString())); }, true},
        {"another key", [&] { ASSERT_TRUE(test::CreateDatabase(path, QStringLiteral("another.key"))); },
         true},
        {"a folder", [&] { ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("DataBook.mdb"))); }, true},
        {"a page inside the table damaged",
         [&] {
             ASSERT_TRUE(test::CreateDatabase(path) && test::FillBooks(path, 3000));
             write(QByteArray(64, '\x5a'), 40 * 4096 + 100);
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QVector<test::ShownMessage> seen[2];
        for (const bool worker : {false, true}) {
            QFile::remove(path);
            QDir(dir.path()).rmdir(QStringLiteral("DataBook.mdb"));
            c.make();
            fake.messages.clear();
            if (worker) ledger::Opening::Start(path, store::MData::kPassword, fake.today());
            int windowsBehindMessages = 0;
            fake.onMessage = [&](const test::ShownMessage&) {
                windowsBehindMessages += test::VisibleWindowCount();
            };
            EXPECT_EQ(EndsProgram([] { MMain::Main(); }), c.ends);
            fake.onMessage = nullptr;
            EXPECT_EQ(windowsBehindMessages, 0) << "worker " << worker;
            EXPECT_EQ(test::VisibleWindowCount(), c.ends ? 0 : 1) << "worker " << worker;
            seen[worker] = fake.messages;
            test::DeleteAllWindows();
            ledger::Opening::Abandon();
            store::MData::Rs.reset();
            store::MData::Conn.reset();
            store::ReleasePooledHandles();
        }
        ASSERT_FALSE(seen[0].isEmpty());
        ASSERT_EQ(seen[1].size(), seen[0].size());
        for (int i = 0; i < seen[0].size(); ++i) {
            EXPECT_EQ(seen[1][i].text, seen[0][i].text) << i;
            EXPECT_EQ(seen[1][i].style, seen[0][i].style) << i;
            EXPECT_EQ(seen[1][i].title, seen[0][i].title) << i;
        }
    }
    QDir(dir.path()).rmdir(QStringLiteral("DataBook.mdb"));
}

struct CodeRow {
    quint16 id;
    const char* code;
};

TEST(LanguageCode, LastTwoHexDigitsWithoutLeadingZeros)
{
    for (const CodeRow& r : {CodeRow{0x0401, "01"}, CodeRow{0x0801, "01"}, CodeRow{0x0C01, "01"},
                             CodeRow{0x3C01, "01"}, CodeRow{0x0409, "09"}, CodeRow{0x0001, "1"},
                             CodeRow{0x0000, "0"}, CodeRow{0x040C, "0C"}, CodeRow{0xFFFF, "FF"}})
        EXPECT_EQ(MMain::LanguageCode(r.id), QLatin1String(r.code)) << std::hex << r.id;
}

TEST(SettingNumber, TextReadAsNumberOrDefault)
{
    struct NumRow {
        const char* text;
        int fallback;
        double expected;
    };
    for (const NumRow& r :
         {NumRow{"1", 0, 1}, NumRow{"0", 1, 0}, NumRow{" 1\t", 0, 1}, NumRow{"1.0", 0, 1}, NumRow{"00", 1, 0},
          NumRow{"-1", 0, -1}, NumRow{"", 0, 0}, NumRow{"", 1, 1}, NumRow{"one", 1, 1}, NumRow{"1abc", 0, 0},
          NumRow{"nan", 1, 1}, NumRow{"1e300", 0, 0}, NumRow{"0.999", 1, 0.999}})
        EXPECT_EQ(MMain::SettingNumber(QString::fromLatin1(r.text), r.fallback), r.expected)
            << "'" << r.text << "'";
}

} // namespace
} // namespace pelorin::startup
