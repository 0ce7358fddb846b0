#include "linux_platform.h"

#include <QHash>

namespace pelorin {

quint16 langIdFromLocaleName(const QString& localeName)
{
    // Primary language identifiers; the sublanguage "default" (1) is added below.
    static const QHash<QString, quint16> primary = {
        {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06},
        {"de", 0x07}, {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C},
        {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12},
        {"nl", 0x13}, {"nb", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19},
        {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F},
        {"ur", 0x20}, {"id", 0x21}, {"uk", 0x22}, {"fa", 0x29}, {"hi", 0x39}, {"ms", 0x3E},
    };
    // Arabic sublanguages by territory.
    static const QHash<QString, quint16> arabic = {
        {"SA", 0x0401}, {"IQ", 0x0801}, {"EG", 0x0C01}, {"LY", 0x1001}, {"DZ", 0x1401}, {"MA", 0x1801},
        {"TN", 0x1C01}, {"OM", 0x2001}, {"YE", 0x2401}, {"SY", 0x2801}, {"JO", 0x2C01}, {"LB", 0x3001},
        {"KW", 0x3401}, {"AE", 0x3801}, {"BH", 0x3C01}, {"QA", 0x4001},
    };
    QString name = localeName;
    name = name.section('.', 0, 0).section('@', 0, 0);
    const QString lang = name.section('_', 0, 0).toLower();
    const QString territory = name.section('_', 1, 1).toUpper();
    if (lang == "ar") return arabic.value(territory, 0x0401);
    if (lang == "en") {
        if (territory == "GB") return 0x0809;
        if (territory == "AU") return 0x0C09;
        if (territory == "CA") return 0x1009;
        return 0x0409;
    }
    if (lang.isEmpty() || lang == "c" || lang == "posix") return 0x0409;
    const auto it = primary.constFind(lang);
    if (it == primary.constEnd()) return 0x0409;
    return quint16((1 << 10) | *it);
}

} // namespace pelorin
