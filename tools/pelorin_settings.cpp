// pelorin-settings KEY VALUE: writes one value into the "Setting" section of the current user's
// Pelorin settings, the way the program itself stores them. The set-up uses it to record that
// the support packages are in place (Install 1).
#include <QCoreApplication>
#include <QString>

#include <cstdio>

#include "platform.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 || args.at(1).trimmed().isEmpty()) {
        std::fprintf(stderr, "usage: pelorin-settings KEY VALUE\n");
        return 2;
    }
    pelorin::platform().saveSetting(QStringLiteral("Setting"), args.at(1), args.at(2));
    return 0;
}
