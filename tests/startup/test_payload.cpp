// The installer the program carries, run for real with /bin/sh against stand-ins for the
// package tools: what it installs, when it refuses, and how it records Install=1 in the
// user's settings without disturbing the rest of the file.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "frm_file_install.h"

namespace pelorin::startup {
namespace {

class PayloadRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("bin"));
        QDir(dir.path()).mkpath(QStringLiteral("config"));
        Tool(QStringLiteral("dpkg-query"),
             "case \" $FAKE_MISSING \" in *\" $3 \"*) exit 1;; esac\nprintf 'install ok installed'\n");
        Tool(QStringLiteral("fc-list"), "[ -n \"${FAKE_NO_FONT:-}\" ] || echo 'Noto Sans Arabic UI'\n");
        Tool(QStringLiteral("apt-get"), "echo \"$*\" >>\"$FAKE_LOG\"\nexit \"${FAKE_APT_STATUS:-0}\"\n");
        Tool(QStringLiteral("id"),
             "if [ \"$1\" = -u ]; then echo \"${FAKE_UID:-0}\"; else exec /usr/bin/id \"$@\"; fi\n");
        script = dir.path() + QStringLiteral("/setupHalvek.exe");
        ASSERT_TRUE(FrmFileInstall::WritePayload(script, FrmFileInstall::Payload()));
        env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "PKEXEC_UID", "SUDO_UID"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("PATH"),
                   dir.path() + QStringLiteral("/bin:") + env.value(QStringLiteral("PATH")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("FAKE_LOG"), AptLog());
    }

    void Tool(const QString& name, const char* body)
    {
        QFile f(dir.path() + QStringLiteral("/bin/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("#!/bin/sh\n") + body);
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    QString Ini() const { return dir.path() + QStringLiteral("/config/Pelorin/Pelorin.ini"); }
    QString AptLog() const { return dir.path() + QStringLiteral("/apt.log"); }
    QString Read(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void WriteIni(const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(Ini()).path());
        QFile f(Ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    // The value as the program reads it.
    QString Setting(const QString& key) const
    {
        QSettings s(Ini(), QSettings::IniFormat);
        return s.value(key, QStringLiteral("<absent>")).toString();
    }

    int Run()
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("/bin/sh"), {script});
        EXPECT_TRUE(p.waitForFinished(20000));
        errors = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QTemporaryDir dir;
    QString script;
    QProcessEnvironment env;
    QString errors;
};

TEST_F(PayloadRun, EverythingPresentRecordsInstallAndInstallsNothing)
{
    EXPECT_EQ(Run(), 0) << errors.toStdString();
    EXPECT_EQ(Setting(QStringLiteral("Setting/Install")), QStringLiteral("1"));
    EXPECT_FALSE(QFile::exists(AptLog()));
}

struct IniRow {
    const char* name;
    const char* before;
    std::vector<std::pair<const char*, const char*>> after; // key -> value as read back
};

class PayloadIni : public PayloadRun, public ::testing::WithParamInterface<IniRow> {};

TEST_P(PayloadIni, SetsInstallAndKeepsTheRest)
{
    if (GetParam().before) WriteIni(GetParam().before);
    ASSERT_EQ(Run(), 0) << errors.toStdString();
    for (const auto& [key, value] : GetParam().after)
        EXPECT_EQ(Setting(QString::fromLatin1(key)), QString::fromUtf8(value)) << key << "\n"
                                                                               << Read(Ini()).toStdString();
    EXPECT_EQ(Read(Ini()).count(QStringLiteral("Install=1")), 1) << Read(Ini()).toStdString();
    // The key lands inside its section, before the blank line that ends it.
    EXPECT_FALSE(Read(Ini()).contains(QStringLiteral("\n\nInstall=1"))) << Read(Ini()).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PayloadIni,
    ::testing::Values(
        IniRow{"NoFile", nullptr, {{"Setting/Install", "1"}}},
        IniRow{
            "KeepsAsAdmin", "[Setting]\nAsAdmin=0\n", {{"Setting/Install", "1"}, {"Setting/AsAdmin", "0"}}},
        IniRow{"ReplacesOldValue",
               "[Setting]\nInstall=0\nAsAdmin=1\n",
               {{"Setting/Install", "1"}, {"Setting/AsAdmin", "1"}}},
        IniRow{"SectionBeforeAnother",
               "[Setting]\nAsAdmin=1\n\n[Other]\nInstall=7\n",
               {{"Setting/Install", "1"}, {"Other/Install", "7"}, {"Setting/AsAdmin", "1"}}},
        IniRow{"NoSettingSection", "[Other]\nKey=v\n", {{"Setting/Install", "1"}, {"Other/Key", "v"}}},
        IniRow{
            "NoFinalNewline", "[Setting]\nAsAdmin=1", {{"Setting/Install", "1"}, {"Setting/AsAdmin", "1"}}}),
    [](const ::testing::TestParamInfo<IniRow>& info) { return std::string(info.param.name); });

struct MissingRow {
    const char* name;
    const char* missing; // packages the stand-in dpkg-query reports absent
    bool noFont;
    const char* uid;
    const char* aptStatus;
    int expectedExit;
    bool installRecorded;
    const char* aptInstallsExpected; // the package list apt-get is asked for, or null when not asked
};

class PayloadMissing : public PayloadRun, public ::testing::WithParamInterface<MissingRow> {};

TEST_P(PayloadMissing, InstallsAsRootOrExplains)
{
    const MissingRow& r = GetParam();
    env.insert(QStringLiteral("FAKE_MISSING"), QString::fromLatin1(r.missing));
    if (r.noFont) env.insert(QStringLiteral("FAKE_NO_FONT"), QStringLiteral("1"));
    env.insert(QStringLiteral("FAKE_UID"), QString::fromLatin1(r.uid));
    env.insert(QStringLiteral("FAKE_APT_STATUS"), QString::fromLatin1(r.aptStatus));

    const int status = Run();
    EXPECT_EQ(status == 0, r.expectedExit == 0) << errors.toStdString();
    EXPECT_EQ(Setting(QStringLiteral("Setting/Install")),
              r.installRecorded ? QStringLiteral("1") : QStringLiteral("<absent>"));
    const QString apt = Read(AptLog());
    if (r.aptInstallsExpected) {
        EXPECT_TRUE(apt.contains(QStringLiteral("install -y --no-install-recommends ") +
                                 QString::fromLatin1(r.aptInstallsExpected)))
            << apt.toStdString();
    } else {
        EXPECT_TRUE(apt.isEmpty()) << apt.toStdString();
    }
    if (status != 0) {
        // The refusal names what is missing.
        for (const QString& p : QString::fromLatin1(r.missing).split(' ', Qt::SkipEmptyParts))
            EXPECT_TRUE(errors.contains(p)) << errors.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PayloadMissing,
    ::testing::Values(
        MissingRow{"RootInstallsMissing", "libsqlcipher1 libqt6svg6", false, "0", "0", 0, true,
                   "libqt6svg6 libsqlcipher1"},
        MissingRow{"RootInstallsFont", "", true, "0", "0", 0, true, "fonts-noto-ui-core"},
        MissingRow{"RootInstallFails", "libsqlcipher1", false, "0", "100", 1, false, "libsqlcipher1"},
        MissingRow{"UserIsToldWhatToInstall", "libsqlcipher1", false, "1000", "0", 1, false, nullptr},
        MissingRow{"UserWithoutFont", "", true, "1000", "0", 1, false, nullptr}),
    [](const ::testing::TestParamInfo<MissingRow>& info) { return std::string(info.param.name); });

TEST_F(PayloadRun, RootInstallFailureRetriesAfterUpdate)
{
    env.insert(QStringLiteral("FAKE_MISSING"), QStringLiteral("libsqlcipher1"));
    env.insert(QStringLiteral("FAKE_APT_STATUS"), QStringLiteral("100"));
    EXPECT_NE(Run(), 0);
    const QStringList calls = Read(AptLog()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(calls.size(), 3);
    EXPECT_TRUE(calls[1].startsWith(QStringLiteral("update")));
}

TEST_F(PayloadRun, AsRootTheSettingsStayTheInvokingUsers)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the file over";
    env.insert(QStringLiteral("PKEXEC_UID"), QStringLiteral("65534"));
    ASSERT_EQ(Run(), 0) << errors.toStdString();
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Ini()).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);
    ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(Ini()).path()).constData(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u) << "the folder it created belongs to the user too";
}

} // namespace
} // namespace pelorin::startup
