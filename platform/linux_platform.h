// The real platform on a Linux desktop.
#pragma once

#include <QStringList>

#include "platform.h"

#include <memory>

class QLockFile;

namespace pelorin {

class LinuxPlatform : public Platform {
public:
    LinuxPlatform();
    ~LinuxPlatform() override;

    QDate today() const override;
    QDateTime now() const override;
    QString getSetting(const QString& section, const QString& key, const QString& fallback) override;
    void saveSetting(const QString& section, const QString& key, const QString& value) override;
    bool previousInstance() override;
    quint16 systemDefaultLangId() override;
    bool canShowArabic() override;
    bool isAdmin() override;
    bool runAsAdmin(const QString& executable) override;
    bool switchKeyboardLayout(const QString& language) override;
    bool openUrl(const QString& url) override;
    bool isConnected() override;
    void beep() override;
    QPoint cursorPos() override;
    QWidget* activeWindow() override;
    QString tempFolder() override;
    QString appFolder() override;
    QString appExecutable() override;
    bool startDetached(const QString& program) override;
    bool fileOpenElsewhere(const QString& path) override;
    int msgBox(const QString& text, int style, const QString& title) override;
    [[noreturn]] void endProgram(int code) override;

private:
    std::unique_ptr<QLockFile> instanceLock_;
};

// LANGID of a POSIX locale name such as "ar_EG.UTF-8"; C and POSIX give English (US).
quint16 langIdFromLocaleName(const QString& localeName);

// Looks through the open descriptors under /proc of every process this user may see (other
// users' are not readable) for one on the file.
bool FileOpenByOtherProcess(const QString& path);

// The command line after "pkexec" that starts executable elevated in this user's session.
QStringList pkexecArguments(const QString& executable);

} // namespace pelorin
