#include "linux_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLockFile>
#include <QMessageBox>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "keyboard_layout.h"

namespace pelorin {

namespace {

QSettings userSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Pelorin"),
                     QStringLiteral("Pelorin"));
}

QString runtimeFolder()
{
    // Taken from the environment as it stands: the elevated copy runs as root with the user's
    // runtime folder, which Qt would refuse for not being root's, and both copies must see the
    // same instance flag.
    const QString fromEnv = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!fromEnv.isEmpty() && QFileInfo(fromEnv).isDir()) return fromEnv;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir;
}

QString envValue(const char* name)
{
    const QByteArray v = qgetenv(name);
    return QString::fromLocal8Bit(v);
}

// The elevated copy (root, started through pkexec) writes the settings of the user who asked
// for it; the file must stay that user's, or the user's own copies could no longer write it.
void handSettingsToInvokingUser(const QString& file, bool folderCreated)
{
    if (::geteuid() != 0) return;
    bool ok = false;
    const uint uid = envValue("PKEXEC_UID").toUInt(&ok);
    if (!ok || uid == 0) return;
    const struct passwd* pw = ::getpwuid(uid_t(uid));
    const gid_t gid = pw ? pw->pw_gid : gid_t(-1);
    // QSettings replaces the file on every write, so the file always needs handing back.
    if (::chown(QFile::encodeName(file).constData(), uid_t(uid), gid) != 0) return;
    if (folderCreated) {
        const QString folder = QFileInfo(file).path();
        if (::chown(QFile::encodeName(folder).constData(), uid_t(uid), gid) != 0) return;
    }
}

} // namespace

LinuxPlatform::LinuxPlatform() = default;
LinuxPlatform::~LinuxPlatform() = default;

QDate LinuxPlatform::today() const
{
    return QDate::currentDate();
}

QDateTime LinuxPlatform::now() const
{
    return QDateTime::currentDateTime();
}

QString LinuxPlatform::getSetting(const QString& section, const QString& key, const QString& fallback)
{
    QSettings s = userSettings();
    return s.value(section + '/' + key, fallback).toString();
}

void LinuxPlatform::saveSetting(const QString& section, const QString& key, const QString& value)
{
    QSettings s = userSettings();
    const bool folderExisted = QFileInfo::exists(QFileInfo(s.fileName()).path());
    s.setValue(section + '/' + key, value);
    s.sync();
    handSettingsToInvokingUser(s.fileName(), !folderExisted);
}

bool LinuxPlatform::previousInstance()
{
    if (instanceLock_) return false;
    const QString flagFile = runtimeFolder() + QStringLiteral("/pelorin.lock");
    auto lock = std::make_unique<QLockFile>(flagFile);
    // Age never makes a lock stale: only a holder that no longer runs does.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError) return false; // no flag to be had: run unflagged
        // Qt frees a flag whose holder is gone, but only when the file names that holder. One
        // that names nobody (a copy that died before filling it, a full disk) would otherwise
        // end every later start silently; a fresh one may be a copy filling it right now.
        qint64 pid = 0;
        QString host, app;
        if (lock->getLockInfo(&pid, &host, &app)) return true;
        const QDateTime changed = QFileInfo(flagFile).lastModified();
        if (changed.isValid() && qAbs(changed.secsTo(QDateTime::currentDateTime())) < 10) return true;
        if (!lock->removeStaleLockFile() || !lock->tryLock(0)) return true;
    }
    instanceLock_ = std::move(lock);
    return false;
}

quint16 LinuxPlatform::systemDefaultLangId()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString v = envValue(name);
        if (!v.isEmpty()) return langIdFromLocaleName(v);
    }
    return langIdFromLocaleName(QStringLiteral("C"));
}

bool LinuxPlatform::canShowArabic()
{
    // The session's language has no say in it: an English desktop with an Arabic font shows the
    // ledger perfectly. Qt learns each font's writing systems from fontconfig (":lang=ar").
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    return !QFontDatabase::families(QFontDatabase::Arabic).isEmpty();
}

bool LinuxPlatform::isAdmin()
{
    return ::geteuid() == 0;
}

QStringList pkexecArguments(const QString& executable)
{
    // pkexec clears the environment: hand the elevated copy this user's display and
    // folders so that it shows on the same screen and reads the same settings.
    QStringList args{QStringLiteral("env")};
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    args << QStringLiteral("XDG_CONFIG_HOME=") + configHome;
    args << QStringLiteral("XDG_RUNTIME_DIR=") + runtimeFolder();
    for (const char* name :
         {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "LANG", "LC_ALL", "LC_MESSAGES", "TEMP", "TMPDIR"}) {
        const QString v = envValue(name);
        if (!v.isEmpty()) args << QString::fromLatin1(name) + '=' + v;
    }
    // Without XAUTHORITY the X client looks in $HOME, which is root's for the elevated copy.
    if (envValue("XAUTHORITY").isEmpty()) {
        const QString cookie = QDir::homePath() + QStringLiteral("/.Xauthority");
        if (QFileInfo::exists(cookie)) args << QStringLiteral("XAUTHORITY=") + cookie;
    }
    args << executable;
    return args;
}

bool LinuxPlatform::runAsAdmin(const QString& executable)
{
    return QProcess::startDetached(QStringLiteral("pkexec"), pkexecArguments(executable));
}

bool LinuxPlatform::switchKeyboardLayout(const QString& language)
{
    return switchXkbGroup(language);
}

bool LinuxPlatform::openUrl(const QString& url)
{
    return QDesktopServices::openUrl(QUrl(url));
}

bool LinuxPlatform::isConnected()
{
    if (QNetworkInformation::instance() ||
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        if (auto* info = QNetworkInformation::instance()) {
            const auto r = info->reachability();
            if (r != QNetworkInformation::Reachability::Unknown)
                return r == QNetworkInformation::Reachability::Online ||
                       r == QNetworkInformation::Reachability::Site;
        }
    }
    for (const QNetworkInterface& nif : QNetworkInterface::allInterfaces()) {
        const auto f = nif.flags();
        if ((f & QNetworkInterface::IsUp) && (f & QNetworkInterface::IsRunning) &&
            !(f & QNetworkInterface::IsLoopBack))
            return true;
    }
    return false;
}

void LinuxPlatform::beep()
{
    QApplication::beep();
}

QPoint LinuxPlatform::cursorPos()
{
    return QCursor::pos();
}

QWidget* LinuxPlatform::activeWindow()
{
    return QApplication::activeWindow();
}

QString LinuxPlatform::tempFolder()
{
    for (const char* name : {"TEMP", "TMPDIR"}) {
        const QString v = envValue(name);
        if (!v.isEmpty()) return QDir::cleanPath(v);
    }
    return QStringLiteral("/tmp");
}

QString LinuxPlatform::appFolder()
{
    // Before the application object exists (the start opens the ledger first thing), the same
    // folder as Qt finds it: where the link to the running executable leads.
    if (!QCoreApplication::instance())
        return QFileInfo(QStringLiteral("/proc/self/exe"))
            .canonicalFilePath()
            .section(QLatin1Char('/'), 0, -2);
    return QCoreApplication::applicationDirPath();
}

QString LinuxPlatform::appExecutable()
{
    return QCoreApplication::applicationFilePath();
}

bool LinuxPlatform::startDetached(const QString& program)
{
    return QProcess::startDetached(program, {});
}

int LinuxPlatform::msgBox(const QString& text, int style, const QString& title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    const int icon = style & 0x70;
    if (icon == MsgStyle::Critical)
        box.setIcon(QMessageBox::Critical);
    else if (icon == MsgStyle::Question)
        box.setIcon(QMessageBox::Question);
    else if (icon == 48)
        box.setIcon(QMessageBox::Warning);
    else if (icon == MsgStyle::Information)
        box.setIcon(QMessageBox::Information);
    if (style & MsgStyle::RtlReading)
        box.setLayoutDirection(Qt::RightToLeft);
    else
        box.setLayoutDirection(Qt::LeftToRight);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        // Reasons and file names can be selected and copied, for a message to whoever helps.
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (style & MsgStyle::RightAlign)
            // Absolute: in a right-to-left box a plain AlignRight would be mirrored to the left.
            label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    }
    const bool yesNo = (style & 0x7) == MsgStyle::YesNo;
    if (yesNo) {
        box.addButton(QStringLiteral("نعم"), QMessageBox::YesRole);
        auto* no = box.addButton(QStringLiteral("لا"), QMessageBox::NoRole);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == no ? MsgResult::No : MsgResult::Yes;
    }
    box.addButton(QStringLiteral("موافق"), QMessageBox::AcceptRole);
    box.exec();
    return MsgResult::Ok;
}

void LinuxPlatform::endProgram(int code)
{
    instanceLock_.reset();
    std::_Exit(code);
}

bool FileOpenByOtherProcess(const QString& path)
{
    struct stat target {};
    if (::stat(QFile::encodeName(path).constData(), &target) != 0) return false;
    DIR* proc = ::opendir("/proc");
    if (!proc) return false;
    const long self = long(::getpid());
    bool found = false;
    while (!found) {
        const dirent* e = ::readdir(proc);
        if (!e) break;
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == self) continue;
        char fdDir[64];
        std::snprintf(fdDir, sizeof fdDir, "/proc/%ld/fd", pid);
        DIR* fds = ::opendir(fdDir); // other users' processes are not readable; they are skipped
        if (!fds) continue;
        while (const dirent* f = ::readdir(fds)) {
            if (f->d_name[0] == '.') continue;
            struct stat st {};
            if (::fstatat(::dirfd(fds), f->d_name, &st, 0) == 0 && st.st_dev == target.st_dev &&
                st.st_ino == target.st_ino) {
                found = true;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return found;
}

bool LinuxPlatform::fileOpenElsewhere(const QString& path)
{
    return FileOpenByOtherProcess(path);
}

} // namespace pelorin
