// The first-run window: its texts, refusal that touches nothing, and consent that writes the
// payload, starts it and says so (or says that it failed).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "fake_platform.h"
#include "frm_file_install.h"
#include "startup_support.h"

namespace pelorin::startup {
namespace {

using test::EndsProgram;
using test::FakePlatform;

const QString kNotice = QStringLiteral("تنبيه");
const int kRtl = MsgStyle::RightAlign + MsgStyle::RtlReading;

class FileInstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        fake.temp = dir.path();
    }
    QString Target() const { return dir.path() + QStringLiteral("/setupHalvek.exe"); }
    QByteArray Read(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    FakePlatform fake;
    QTemporaryDir dir;
    FrmFileInstall w;
};

TEST_F(FileInstallTest, Texts)
{
    const QString title = QStringLiteral("تنصيب الملفات اللازمة لتشغيل البرنامج");
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_EQ(w.LblMain()->text(), title);
    EXPECT_EQ(w.ImgExit()->toolTip(), QStringLiteral("إغلاق"));
    EXPECT_EQ(w.size(), QSize(264, 183));
    EXPECT_EQ(
        FrmFileInstall::TitleText(),
        QStringLiteral(
            "هنالك ملفات لازمة لتشغيل البرنامج\r\nفهل توافق على تنصيبها على نظام التشغيل الذي تعمل عليه ؟"));
    EXPECT_EQ(w.LblTitle->text(), QString(FrmFileInstall::TitleText()).remove('\r'));
    EXPECT_EQ(w.CmdOk->text(), QStringLiteral("نعم أوافق"));
    EXPECT_EQ(w.CmdNo->text(), QStringLiteral("لا أوافق"));
}

TEST_F(FileInstallTest, TextsFitTheirPlaces)
{
    // The long title and both question lines are shown whole, not clipped.
    const QFontMetrics title(w.LblMain()->font());
    EXPECT_LE(title.horizontalAdvance(w.LblMain()->text()), w.LblMain()->width());
    const QFontMetrics question(w.LblTitle->font());
    for (const QString& line : w.LblTitle->text().split('\n'))
        EXPECT_LE(question.horizontalAdvance(line), w.LblTitle->width());
    EXPECT_LE(2 * question.lineSpacing(), w.LblTitle->height());
    // Consent on the right, as Arabic reads; both buttons inside the frame and apart.
    EXPECT_GT(w.CmdOk->x(), w.CmdNo->x());
    EXPECT_FALSE(w.CmdOk->geometry().intersects(w.CmdNo->geometry()));
    for (QWidget* c : {static_cast<QWidget*>(w.LblTitle), static_cast<QWidget*>(w.CmdOk),
                       static_cast<QWidget*>(w.CmdNo)}) {
        EXPECT_GE(c->y(), w.ImgHeader()->height());
        EXPECT_LE(c->geometry().bottom(), w.ImgLine(2)->y());
        EXPECT_GE(c->x(), w.ImgLine(0)->width());
        EXPECT_LE(c->geometry().right(), w.ImgLine(1)->x());
    }
}

TEST_F(FileInstallTest, RefusalEndsWithoutTouchingAnything)
{
    EXPECT_TRUE(EndsProgram([&] { w.CmdNo_Click(); }));
    EXPECT_TRUE(EndsProgram([&] { w.ImgExit_Click(); }));
    EXPECT_EQ(fake.ends, (QVector<int>{0, 0}));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    EXPECT_TRUE(fake.started.isEmpty());
    EXPECT_TRUE(fake.messages.isEmpty());
    EXPECT_TRUE(fake.settingWrites.isEmpty());
}

TEST_F(FileInstallTest, ConsentWritesThePayloadStartsItAndTellsTheUser)
{
    int startedWhenShown = -1;
    fake.onMessage = [&](const test::ShownMessage&) { startedWhenShown = int(fake.started.size()); };

    EXPECT_TRUE(EndsProgram([&] { w.CmdOk_Click(); }));

    const QByteArray payload = FrmFileInstall::Payload();
    ASSERT_FALSE(payload.isEmpty());
    EXPECT_TRUE(payload.startsWith("#!/bin/sh\n"));
    EXPECT_EQ(Read(Target()), payload);
    const QFileInfo info(Target());
    EXPECT_TRUE(info.permissions() & QFileDevice::ExeOwner);
    EXPECT_FALSE(info.permissions() & (QFileDevice::WriteGroup | QFileDevice::WriteOther));
    EXPECT_EQ(fake.started, QStringList{Target()});
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(
        fake.messages[0].text,
        QStringLiteral(
            "تم إضافة الملفات اللازمة لتشغيل البرنامج بنجاح\r\n\r\n            يرجى إعادة تشغيل البرنامج"));
    EXPECT_EQ(fake.messages[0].style, MsgStyle::OkOnly + kRtl);
    EXPECT_EQ(fake.messages[0].title, kNotice);
    EXPECT_EQ(startedWhenShown, 1) << "the message comes once the installer runs";
    EXPECT_EQ(fake.ends, QVector<int>{0});
    EXPECT_TRUE(fake.settingWrites.isEmpty());
}

TEST_F(FileInstallTest, AnOlderLongerFileOrALinkIsReplacedNotFollowed)
{
    // A longer leftover would otherwise keep its tail after the new bytes.
    {
        QFile old(Target());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(FrmFileInstall::Payload().size() + 5000, 'x'));
    }
    EXPECT_TRUE(EndsProgram([&] { w.CmdOk_Click(); }));
    EXPECT_EQ(Read(Target()), FrmFileInstall::Payload());

    // A link planted at the path must not send the bytes elsewhere.
    QTemporaryDir other;
    const QString victim = other.path() + QStringLiteral("/victim");
    {
        QFile v(victim);
        ASSERT_TRUE(v.open(QIODevice::WriteOnly));
        v.write("keep me");
    }
    QFile::remove(Target());
    ASSERT_TRUE(QFile::link(victim, Target()));
    EXPECT_TRUE(EndsProgram([&] { w.CmdOk_Click(); }));
    EXPECT_EQ(Read(victim), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo(Target()).isSymLink());
    EXPECT_EQ(Read(Target()), FrmFileInstall::Payload());
    // Each consent writes and starts again.
    EXPECT_EQ(fake.started, (QStringList{Target(), Target()}));
}

struct FailureRow {
    const char* name;
    std::function<void(FakePlatform&, const QString& dir)> arrange;
    const char* reason;
    bool started;
};

class InstallFailure : public FileInstallTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(InstallFailure, IsReportedWithTheStopIconAndTheProgramStillEnds)
{
    GetParam().arrange(fake, dir.path());
    EXPECT_TRUE(EndsProgram([&] { w.CmdOk_Click(); }));
    ASSERT_EQ(fake.messages.size(), 1);
    const QString text = fake.messages[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("تعذر تنصيب الملفات اللازمة لتشغيل البرنامج")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8(GetParam().reason))) << text.toStdString();
    EXPECT_TRUE(text.contains(fake.temp + QStringLiteral("/setupHalvek.exe")));
    EXPECT_EQ(fake.messages[0].style, MsgStyle::Critical + kRtl);
    EXPECT_EQ(fake.messages[0].title, kNotice);
    EXPECT_EQ(fake.started.isEmpty(), !GetParam().started);
    EXPECT_EQ(fake.ends, QVector<int>{0});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InstallFailure,
    ::testing::Values(
        FailureRow{"TempFolderMissing",
                   [](FakePlatform& f, const QString& d) { f.temp = d + QStringLiteral("/no/such/folder"); },
                   "لم يمكن كتابة ملف التنصيب", false},
        FailureRow{
            "FolderInTheWay",
            [](FakePlatform&, const QString& d) { QDir(d).mkpath(QStringLiteral("setupHalvek.exe/inside")); },
            "لم يمكن كتابة ملف التنصيب", false},
        FailureRow{"InstallerDoesNotStart", [](FakePlatform& f, const QString&) { f.startResult = false; },
                   "لم يمكن تشغيل ملف التنصيب", true}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

} // namespace
} // namespace pelorin::startup
