// Every call the program makes into the operating system goes through this interface,
// so that tests can replace the clock, message boxes, settings and the like.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace pelorin {

// Style values of MsgBox, combined by adding them.
namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int RightAlign = 524288;
constexpr int RtlReading = 1048576;
} // namespace MsgStyle

// What MsgBox returns.
namespace MsgResult {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgResult

class Platform {
public:
    virtual ~Platform() = default;

    // The platform in force; the real one unless a test installed a double.
    static Platform& instance();
    // Installs p (not owned); nullptr restores the real platform.
    static void setInstance(Platform* p);

    virtual QDate today() const = 0;
    // The local date and time, for names that must sort by when they were written.
    virtual QDateTime now() const = 0;

    // Per-user settings of the application "Pelorin".
    virtual QString getSetting(const QString& section, const QString& key, const QString& fallback) = 0;
    virtual void saveSetting(const QString& section, const QString& key, const QString& value) = 0;

    // True when another copy of the program already holds the instance flag; otherwise
    // this copy takes the flag and holds it until it ends.
    virtual bool previousInstance() = 0;
    // Windows-style LANGID of the session's language (0x0401 for Arabic, Saudi Arabia).
    virtual quint16 systemDefaultLangId() = 0;
    // Whether the program can show Arabic here: a font with Arabic letters is available to it.
    virtual bool canShowArabic() = 0;
    virtual bool isAdmin() = 0;
    // Starts the program again with administrator rights; does not wait. False when it could not start.
    virtual bool runAsAdmin(const QString& executable) = 0;
    // Switches the keyboard to the layout group of the language; false when it could not.
    virtual bool switchKeyboardLayout(const QString& language) = 0;

    virtual bool openUrl(const QString& url) = 0;
    // Answers at once whether the machine seems to be online.
    virtual bool isConnected() = 0;

    virtual void beep() = 0;
    virtual QPoint cursorPos() = 0;
    virtual QWidget* activeWindow() = 0;

    // The folder for temporary files: TEMP, else TMPDIR, else /tmp.
    virtual QString tempFolder() = 0;
    // The folder that holds the executable.
    virtual QString appFolder() = 0;
    virtual QString appExecutable() = 0;
    virtual bool startDetached(const QString& program) = 0;
    // True when a process other than this one has the file open. Replacing or removing an open
    // file succeeds on Linux, so a writer elsewhere has to be found by looking.
    virtual bool fileOpenElsewhere(const QString& path) = 0;

    // Modal message box; returns one of MsgResult.
    virtual int msgBox(const QString& text, int style, const QString& title) = 0;

    // Ends the program at once: no window's close handling runs and nothing is saved.
    [[noreturn]] virtual void endProgram(int code) = 0;
};

// Convenience for the many call sites.
inline Platform& platform()
{
    return Platform::instance();
}

} // namespace pelorin
