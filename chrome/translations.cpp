#include "translations.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "style.h"

namespace pelorin::chrome {

namespace {

// Qt's own Arabic catalogues: "qt_ar.qm" gathers qtbase_ar and the other modules' files;
// qtbase_ar.qm alone already covers message boxes and the print dialogs.
bool loadQtArabic(QCoreApplication& app, const QString& dir)
{
    const QLocale arabic(QLocale::Arabic, QLocale::SaudiArabia);
    for (const char* name : {"qt", "qtbase"}) {
        auto* t = new QTranslator(&app);
        if (t->load(arabic, QString::fromLatin1(name), QStringLiteral("_"), dir) && !t->isEmpty()) {
            app.installTranslator(t);
            return true;
        }
        delete t;
    }
    return false;
}

} // namespace

void SetUpArabicApplication(QCoreApplication& app)
{
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QStringLiteral("/usr/share/qt6/translations")};
    for (const QString& dir : folders)
        if (QDir(dir).exists() && loadQtArabic(app, dir)) break;
    if (auto* gui = qobject_cast<QApplication*>(&app)) {
        gui->setLayoutDirection(Qt::RightToLeft);
        gui->setFont(ArabicFont(9.75));
        gui->setWindowIcon(AppIcon());
    }
}

} // namespace pelorin::chrome
