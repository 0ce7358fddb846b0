// A platform for tests: a fixed clock, scripted message-box answers, settings in memory, and
// a program end that is recorded and thrown instead of ending the test process.
#pragma once

#include <QHash>
#include <QStringList>
#include <QVector>

#include <functional>
#include <stdexcept>

#include "platform.h"
#include "qt_printers.h"

namespace pelorin::test {

struct ProgramEnded : std::runtime_error {
    explicit ProgramEnded(int c) : std::runtime_error("program ended"), code(c) {}
    int code;
};

struct ShownMessage {
    QString text;
    int style = 0;
    QString title;
};

class FakePlatform : public Platform {
public:
    FakePlatform() { Platform::setInstance(this); }
    ~FakePlatform() override { Platform::setInstance(nullptr); }

    // Clock
    QDate todayValue = QDate(2024, 3, 10);
    QDate today() const override { return todayValue; }
    // The time of day that goes with todayValue.
    QTime timeValue = QTime(9, 30, 0);
    QDateTime now() const override { return QDateTime(todayValue, timeValue); }

    // Settings
    QHash<QString, QString> settings; // "Section/Key" -> value
    QStringList settingWrites;        // "Section/Key=value", in order
    QString getSetting(const QString& section, const QString& key, const QString& fallback) override
    {
        ++settingReads[section + '/' + key];
        return settings.value(section + '/' + key, fallback);
    }
    void saveSetting(const QString& section, const QString& key, const QString& value) override
    {
        settings[section + '/' + key] = value;
        settingWrites << section + '/' + key + '=' + value;
    }
    QHash<QString, int> settingReads;

    // Start-up
    bool prevInstanceValue = false;
    bool previousInstance() override { return prevInstanceValue; }
    quint16 langId = 0x0401;
    quint16 systemDefaultLangId() override { return langId; }
    bool arabicFont = true;
    bool canShowArabic() override { return arabicFont; }
    bool adminValue = false;
    int adminCalls = 0;
    bool isAdmin() override { return ++adminCalls, adminValue; }
    QStringList runAsAdminCalls;
    bool runAsAdminResult = true;
    bool runAsAdmin(const QString& executable) override
    {
        runAsAdminCalls << executable;
        return runAsAdminResult;
    }
    QStringList keyboardSwitches;
    bool switchKeyboardLayout(const QString& language) override
    {
        keyboardSwitches << language;
        return false;
    }

    // Web and network
    QStringList openedUrls;
    bool openUrl(const QString& url) override { return openedUrls << url, true; }
    bool connected = true;
    bool isConnected() override { return connected; }

    // Desktop
    int beeps = 0;
    void beep() override { ++beeps; }
    QPoint cursor;
    bool useRealCursor = false;
    QPoint cursorPos() override;
    QWidget* active = nullptr;
    bool useRealActiveWindow = false;
    QWidget* activeWindow() override;

    // Files and programs
    QString temp = QStringLiteral("/tmp");
    QString tempFolder() override { return temp; }
    QString folder;
    QString appFolder() override { return folder; }
    QString executable = QStringLiteral("/opt/pelorin/Pelorin");
    QString appExecutable() override { return executable; }
    QStringList started;
    bool startResult = true;
    bool startDetached(const QString& program) override { return started << program, startResult; }
    // Files another process is to have open; or the real look through /proc.
    QStringList filesOpenElsewhere;
    bool useRealOpenFiles = false;
    bool fileOpenElsewhere(const QString& path) override;

    // Message boxes: each shown box is recorded; answers are taken in order (default OK/Yes).
    QVector<ShownMessage> messages;
    QVector<int> answers;
    std::function<void(const ShownMessage&)> onMessage;
    int msgBox(const QString& text, int style, const QString& title) override
    {
        messages.push_back({text, style, title});
        if (onMessage) onMessage(messages.back());
        if (!answers.isEmpty()) return answers.takeFirst();
        return (style & 0x7) == MsgStyle::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }

    // Program end
    QVector<int> ends;
    [[noreturn]] void endProgram(int code) override
    {
        ends.push_back(code);
        throw ProgramEnded(code);
    }
};

} // namespace pelorin::test
