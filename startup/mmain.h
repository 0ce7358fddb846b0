// Start-up: the password, the single instance, the language test, the first-run installer.
#pragma once

#include <QString>

namespace pelorin::startup::MMain {

inline const QString kSection = QStringLiteral("Setting");
inline const QString kAsAdmin = QStringLiteral("AsAdmin");
inline const QString kInstall = QStringLiteral("Install");
// The file the elevated relaunch starts, beside the running program.
inline const QString kExecutableName = QStringLiteral("/Pelorin");

// Decides which one window this start shows, shows it without waiting, and returns. Ends the
// program at once when another copy runs or after asking for the elevated relaunch.
void Main();

// Called when another copy runs: ends this copy silently unless it is the elevated relaunch
// ("AsAdmin" reads as 0), in which case it writes "AsAdmin" = "1" and returns.
void CheckPrevInstance();

// Starts FileName again with administrator rights; does not wait and ignores the outcome.
void RunAsAdmin(const QString& FileName);

// The last two characters of the identifier in upper-case hex without leading zeros:
// 0x0401 gives "01", 0x0001 gives "1".
QString LanguageCode(quint16 langId);

// A setting's text read as a number; text that is not a number reads as the fallback. A
// fraction stays a fraction: "1.5" is not 1.
double SettingNumber(const QString& text, int fallback);

// The setting of section "Setting" read as a number with its default.
double ReadSettingNumber(const QString& key, int fallback);

} // namespace pelorin::startup::MMain
