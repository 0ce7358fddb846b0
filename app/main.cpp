#include <QApplication>

#include "mmain.h"
#include "translations.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelorin"));
    // Lets the desktop match the windows to the menu entry and its icon (Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Pelorin"));
    pelorin::chrome::SetUpArabicApplication(app);
    pelorin::startup::MMain::Main();
    return app.exec();
}
