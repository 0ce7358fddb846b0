// The real platform calls the start-up relies on: the settings file, the instance flag, the
// session language, the temporary folder, starting programs and the elevated relaunch.
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "linux_platform.h"

namespace pelorin {
namespace {

// Settings and the runtime folder are pointed at temporary folders before anything can read
// them (Qt keeps the settings location once it has looked it up).
QTemporaryDir& Sandbox()
{
    static QTemporaryDir dir;
    return dir;
}
const bool kSandboxed = [] {
    QDir(Sandbox().path()).mkpath(QStringLiteral("config"));
    QDir(Sandbox().path()).mkpath(QStringLiteral("run"));
    ::chmod(QFile::encodeName(Sandbox().path() + QStringLiteral("/run")).constData(), 0700);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(Sandbox().path() + QStringLiteral("/config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(Sandbox().path() + QStringLiteral("/run")));
    return true;
}();

// Sets or clears environment variables for one test and puts them back afterwards.
class EnvGuard {
public:
    void set(const char* name, std::optional<QByteArray> value)
    {
        if (!saved_.contains(name))
            saved_.insert(name,
                          qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~EnvGuard()
    {
        for (auto it = saved_.begin(); it != saved_.end(); ++it) {
            if (it.value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
    }

private:
    QHash<QByteArray, std::optional<QByteArray>> saved_;
};

const QString kIni = QStringLiteral("/config/Pelorin/Pelorin.ini");

TEST(LinuxSettings, WrittenToTheUsersIniUnderSetting)
{
    ASSERT_TRUE(kSandboxed);
    LinuxPlatform p;
    EXPECT_EQ(p.getSetting(QStringLiteral("Setting"), QStringLiteral("Install"), QStringLiteral("0")),
              QStringLiteral("0"));
    p.saveSetting(QStringLiteral("Setting"), QStringLiteral("AsAdmin"), QStringLiteral("0"));
    p.saveSetting(QStringLiteral("Setting"), QStringLiteral("Install"), QStringLiteral("1"));
    EXPECT_EQ(p.getSetting(QStringLiteral("Setting"), QStringLiteral("AsAdmin"), QStringLiteral("1")),
              QStringLiteral("0"));
    QFile f(Sandbox().path() + kIni);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[Setting]")) << text.constData();
    EXPECT_TRUE(text.contains("AsAdmin=0")) << text.constData();
    EXPECT_TRUE(text.contains("Install=1")) << text.constData();
}

TEST(LinuxSettings, ElevatedCopyHandsTheFileBackToTheUser)
{
    if (::geteuid() != 0) GTEST_SKIP() << "only root can hand a file to another user";
    EnvGuard env;
    env.set("PKEXEC_UID", QByteArray("65534"));
    LinuxPlatform p;
    p.saveSetting(QStringLiteral("Setting"), QStringLiteral("AsAdmin"), QStringLiteral("1"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Sandbox().path() + kIni).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    env.set("PKEXEC_UID", std::nullopt);
    p.saveSetting(QStringLiteral("Setting"), QStringLiteral("AsAdmin"), QStringLiteral("1"));
    ASSERT_EQ(::stat(QFile::encodeName(Sandbox().path() + kIni).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u) << "an ordinary root start keeps its own file";
}

TEST(LinuxInstanceFlag, SecondHolderSeesTheFirstUntilItGoes)
{
    auto first = std::make_unique<LinuxPlatform>();
    EXPECT_FALSE(first->previousInstance());
    EXPECT_FALSE(first->previousInstance()) << "asking again keeps the flag";
    EXPECT_TRUE(QFile::exists(Sandbox().path() + QStringLiteral("/run/pelorin.lock")));
    LinuxPlatform second;
    EXPECT_TRUE(second.previousInstance());
    first.reset();
    LinuxPlatform third;
    EXPECT_FALSE(third.previousInstance());
}

TEST(LinuxInstanceFlag, LockLeftByACrashedCopyDoesNotBlock)
{
    const QString lock = Sandbox().path() + QStringLiteral("/run/pelorin.lock");
    QFile::remove(lock);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QLockFile l(lock);
        l.tryLock(0);
        ::_exit(0); // ends without releasing, as a crash would
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(QFile::exists(lock));
    LinuxPlatform p;
    EXPECT_FALSE(p.previousInstance());
}

// A flag file that names no holder (a copy that died between creating and filling it, a full
// disk, a hand edit) must not keep the program from starting for good; a fresh one may still be
// being filled by a copy starting at this moment, so it counts as held.
TEST(LinuxInstanceFlag, FlagFileNamingNoHolderBlocksOnlyWhileFresh)
{
    const QString lock = Sandbox().path() + QStringLiteral("/run/pelorin.lock");
    struct Row {
        const char* name;
        QByteArray content;
        qint64 ageSeconds;
        bool held;
    };
    for (const Row& r : {Row{"empty and old", QByteArray(), 600, false},
                         Row{"garbage and old", QByteArray("not a lock\n"), 600, false},
                         Row{"empty and fresh", QByteArray(), 0, true}}) {
        QFile::remove(lock);
        {
            QFile f(lock);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(r.content);
            f.close();
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-r.ageSeconds),
                                      QFileDevice::FileModificationTime));
        }
        auto p = std::make_unique<LinuxPlatform>();
        EXPECT_EQ(p->previousInstance(), r.held) << r.name;
        if (!r.held) {
            LinuxPlatform second;
            EXPECT_TRUE(second.previousInstance()) << r.name << ": the new holder keeps the flag";
        }
    }
    QFile::remove(lock);
}

// The real message box: right-aligned, right-to-left lines sit against its right edge, and the
// one box without those flags keeps its lines to the left. The picture goes to PELORIN_SHOTS.
TEST(LinuxMessageBox, LinesSitWhereTheStyleSays)
{
    struct Row {
        const char* name;
        int style;
        bool right;
    };
    const QString text = QStringLiteral("سطر أول طويل جداً في هذه الرسالة التجريبية\r\nسطر قصير");
    for (const Row& r : {Row{"rtl", 16 + 524288 + 1048576, true}, Row{"plain", 16, false}}) {
        LinuxPlatform p;
        QImage shot;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            shot = box->grab().toImage();
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            if (label) {
                const Qt::Alignment seen =
                    QStyle::visualAlignment(label->layoutDirection(), label->alignment());
                EXPECT_EQ(bool(seen & Qt::AlignRight), r.right) << r.name;
                EXPECT_EQ(bool(seen & Qt::AlignLeft), !r.right) << r.name;
            }
            box->buttons().first()->click();
        });
        EXPECT_EQ(p.msgBox(text, r.style, QStringLiteral("تنبيه")), 1);
        ASSERT_FALSE(shot.isNull()) << r.name;
        const QString dir = qEnvironmentVariable("PELORIN_SHOTS");
        if (!dir.isEmpty())
            shot.save(dir + QStringLiteral("/msgbox_") + QLatin1String(r.name) + QStringLiteral(".png"));
    }
}

struct LangRow {
    std::optional<QByteArray> lcAll, lcMessages, lang;
    quint16 expected;
};

TEST(LinuxLanguage, SessionLocaleInItsOrderOfPrecedence)
{
    using B = QByteArray;
    const std::optional<B> none;
    for (const LangRow& r : {
             LangRow{B("ar_EG.UTF-8"), B("en_US.UTF-8"), B("en_US.UTF-8"), 0x0C01},
             LangRow{B(""), B("ar_IQ.UTF-8"), B("en_US.UTF-8"), 0x0801},
             LangRow{none, none, B("ar_SA.UTF-8"), 0x0401},
             LangRow{B("C.UTF-8"), none, B("ar_SA.UTF-8"), 0x0409},
             LangRow{none, B("en_US.UTF-8"), B("ar_SA.UTF-8"), 0x0409},
             LangRow{none, none, none, 0x0409},
         }) {
        EnvGuard env;
        env.set("LC_ALL", r.lcAll);
        env.set("LC_MESSAGES", r.lcMessages);
        env.set("LANG", r.lang);
        LinuxPlatform p;
        EXPECT_EQ(p.systemDefaultLangId(), r.expected)
            << r.lcAll.value_or("-").constData() << " " << r.lcMessages.value_or("-").constData() << " "
            << r.lang.value_or("-").constData();
    }
}

TEST(LinuxLanguage, LangIdFromLocaleName)
{
    struct Row {
        const char* name;
        quint16 id;
    };
    for (const Row& r : {Row{"ar_SA.UTF-8", 0x0401},
                         Row{"ar_IQ.UTF-8", 0x0801},
                         Row{"ar_EG.UTF-8", 0x0C01},
                         Row{"ar_LY", 0x1001},
                         Row{"ar_AE.utf8", 0x3801},
                         Row{"ar_eg", 0x0C01},
                         Row{"ar", 0x0401},
                         Row{"ar_XX.UTF-8", 0x0401},
                         Row{"ar_SA.UTF-8@euro", 0x0401},
                         Row{"en_US.UTF-8", 0x0409},
                         Row{"en_GB.UTF-8", 0x0809},
                         Row{"en", 0x0409},
                         Row{"C", 0x0409},
                         Row{"POSIX", 0x0409},
                         Row{"C.UTF-8", 0x0409},
                         Row{"", 0x0409},
                         Row{"fr_FR.UTF-8", 0x040C},
                         Row{"de_DE", 0x0407},
                         Row{"fa_IR.UTF-8", 0x0429},
                         Row{"xx_YY", 0x0409}})
        EXPECT_EQ(langIdFromLocaleName(QString::fromLatin1(r.name)), r.id) << r.name;
}

// Runs twice: with this machine's fonts (which include an Arabic one), and from ctest's
// test_linux_platform_latin_fonts under a fontconfig set-up that offers only a Latin font.
TEST(CanShowArabic, FollowsTheFontsWhateverTheSessionLanguage)
{
    const bool latinOnly = qEnvironmentVariableIsSet("PELORIN_LATIN_FONTS_ONLY");
    if (latinOnly) {
        // The set-up took hold: fonts were found, just none for Arabic.
        ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("Liberation Sans")));
    }
    EnvGuard env;
    env.set("LC_ALL", std::nullopt);
    env.set("LC_MESSAGES", std::nullopt);
    for (const char* lang : {"en_US.UTF-8", "ar_SA.UTF-8"}) {
        env.set("LANG", QByteArray(lang));
        EXPECT_EQ(LinuxPlatform().canShowArabic(), !latinOnly) << lang;
    }
}

TEST(LinuxFolders, TemporaryFolderFromTempThenTmpdir)
{
    using B = QByteArray;
    const std::optional<B> none;
    struct Row {
        std::optional<B> temp, tmpdir;
        const char* expected;
    };
    for (const Row& r : {Row{B("/var/a/"), B("/var/b"), "/var/a"}, Row{none, B("/var/b"), "/var/b"},
                         Row{B(""), B("/var/b"), "/var/b"}, Row{none, none, "/tmp"}}) {
        EnvGuard env;
        env.set("TEMP", r.temp);
        env.set("TMPDIR", r.tmpdir);
        LinuxPlatform p;
        EXPECT_EQ(p.tempFolder(), QString::fromLatin1(r.expected));
    }
}

TEST(LinuxPrograms, AdministratorIsEffectiveRoot)
{
    LinuxPlatform p;
    EXPECT_EQ(p.isAdmin(), ::geteuid() == 0);
}

TEST(LinuxPrograms, StartDetachedReportsWhetherTheProgramStarted)
{
    QTemporaryDir dir;
    const QString marker = dir.path() + QStringLiteral("/ran");
    const QString script = dir.path() + QStringLiteral("/setup");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n");
    }
    LinuxPlatform p;
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_FALSE(p.startDetached(script)) << "a file without its run bit does not start";
    EXPECT_FALSE(p.startDetached(dir.path() + QStringLiteral("/missing")));
    QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(p.startDetached(script));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
}

TEST(LinuxPrograms, ElevatedRelaunchKeepsTheUsersSession)
{
    QTemporaryDir home;
    QFile cookie(home.path() + QStringLiteral("/.Xauthority"));
    ASSERT_TRUE(cookie.open(QIODevice::WriteOnly));
    cookie.close();
    EnvGuard env;
    env.set("HOME", QFile::encodeName(home.path()));
    env.set("DISPLAY", QByteArray(":7"));
    env.set("XAUTHORITY", std::nullopt);
    env.set("LANG", QByteArray("ar_SA.UTF-8"));
    env.set("TEMP", QByteArray("/var/tmp/x"));

    const QStringList args = pkexecArguments(QStringLiteral("/opt/pelorin/Pelorin"));
    ASSERT_GE(args.size(), 3);
    EXPECT_EQ(args.first(), QStringLiteral("env"));
    EXPECT_EQ(args.last(), QStringLiteral("/opt/pelorin/Pelorin"));
    for (const QString& expected :
         {QStringLiteral("DISPLAY=:7"), QStringLiteral("LANG=ar_SA.UTF-8"), QStringLiteral("TEMP=/var/tmp/x"),
          QStringLiteral("XAUTHORITY=") + home.path() + QStringLiteral("/.Xauthority"),
          QStringLiteral("XDG_CONFIG_HOME=") + Sandbox().path() + QStringLiteral("/config"),
          QStringLiteral("XDG_RUNTIME_DIR=") + Sandbox().path() + QStringLiteral("/run")})
        EXPECT_TRUE(args.contains(expected)) << expected.toStdString() << "\n"
                                             << args.join(' ').toStdString();
}

} // namespace
} // namespace pelorin
