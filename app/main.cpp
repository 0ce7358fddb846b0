#include <QApplication>

#include "mdata.h"
#include "mmain.h"
#include "opening.h"
#include "platform.h"
#include "start_trace.h"
#include "translations.h"

int main(int argc, char** argv)
{
    pelorin::start_trace::ProcessStarted();
    // The key takes longer than the window: it is derived, and the loans read, on a worker thread
    // from here on, while the window is built.
    pelorin::ledger::Opening::Start(pelorin::store::MData::DatabasePath(), pelorin::store::MData::kPassword,
                                    pelorin::platform().today());
    QApplication app(argc, argv);
    pelorin::start_trace::Step("QApplication");
    QApplication::setApplicationName(QStringLiteral("Pelorin"));
    // Lets the desktop match the windows to the menu entry and its icon (Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Pelorin"));
    pelorin::chrome::SetUpArabicApplication(app);
    pelorin::start_trace::Step("Arabic catalogue, font and icon");
    pelorin::startup::MMain::Main();
    return app.exec();
}
