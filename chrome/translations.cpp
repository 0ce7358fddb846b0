#include "translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "style.h"

namespace pelorin::chrome {

void SetUpArabicApplication(QCoreApplication& app)
{
    const QLocale arabic(QLocale::Arabic, QLocale::SaudiArabia);
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase", "qt"}) {
        auto* t = new QTranslator(&app);
        if (t->load(arabic, QString::fromLatin1(name), QStringLiteral("_"), dir)) {
            app.installTranslator(t);
            break;
        }
        delete t;
    }
    if (auto* gui = qobject_cast<QApplication*>(&app)) {
        gui->setLayoutDirection(Qt::RightToLeft);
        gui->setFont(ArabicFont(9.75));
    }
}

} // namespace pelorin::chrome
