#include "import_summary.h"

namespace pelorin::importing {

namespace {

// The counted noun's form for n: one, two, three to ten, eleven to ninety-nine, and the rest;
// what follows a hundred agrees with the number's last two digits.
struct Noun {
    QString one, two, few, many, hundred;
};

QString counted(qsizetype n, const Noun& noun)
{
    if (n == 1) return noun.one;
    if (n == 2) return noun.two;
    const qsizetype tail = n % 100;
    const QString number = QString::number(n);
    if (tail >= 3 && tail <= 10) return number + u' ' + noun.few;
    if (tail >= 11) return number + u' ' + noun.many;
    return number + u' ' + noun.hundred;
}

const Noun kLoans{QStringLiteral("إعارة واحدة"), QStringLiteral("إعارتان"), QStringLiteral("إعارات"),
                  QStringLiteral("إعارة"), QStringLiteral("إعارة")};
const Noun kLeftOut{QStringLiteral("واحدة مكررة"), QStringLiteral("اثنتان مكررتان"), QStringLiteral("مكررة"),
                    QStringLiteral("مكررة"), QStringLiteral("مكررة")};
const Noun kRows{QStringLiteral("صف واحد"), QStringLiteral("صفّان"), QStringLiteral("صفوف"),
                 QStringLiteral("صفاً"), QStringLiteral("صف")};

} // namespace

QString CountsSentence(qsizetype added, qsizetype leftOut, qsizetype refused, Tense tense)
{
    const bool done = tense == Tense::Done;
    QString s = added == 0
                    ? (done ? QStringLiteral("لم تُضف أي إعارة") : QStringLiteral("لن تُضاف أي إعارة"))
                    : (done ? QStringLiteral("أُضيفت ") : QStringLiteral("ستُضاف ")) + counted(added, kLoans);
    if (leftOut > 0)
        s += (done ? QStringLiteral("، وتُركت ") : QStringLiteral("، وستُترك ")) + counted(leftOut, kLeftOut);
    if (refused > 0)
        s += (done ? QStringLiteral("، ورُفض ") : QStringLiteral("، وسيُرفض ")) + counted(refused, kRows);
    return s + u'.';
}

QString RefusedLines(const QList<RefusedRow>& refused, qsizetype limit, const QString& unit)
{
    QStringList lines;
    const qsizetype shown = limit > 0 ? qMin(limit, refused.size()) : refused.size();
    for (qsizetype i = 0; i < shown; ++i)
        lines << QStringLiteral("%1 %2: %3").arg(unit).arg(refused[i].line).arg(refused[i].reason);
    if (shown < refused.size())
        lines << QStringLiteral("…وعدد الصفوف المرفوضة الأخرى: %1").arg(refused.size() - shown);
    return lines.join(u'\n');
}

} // namespace pelorin::importing
