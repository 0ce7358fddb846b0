#include <QApplication>

#include "mmain.h"
#include "translations.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelorin"));
    pelorin::chrome::SetUpArabicApplication(app);
    pelorin::startup::MMain::Main();
    return app.exec();
}
