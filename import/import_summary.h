// What an import did, or will do, in one Arabic sentence whose nouns agree with their numbers:
// "أُضيفت 120 إعارة، وتُركت 3 مكررة، ورُفض صفّان."
#pragma once

#include <QList>
#include <QString>

#include "import_rows.h"

namespace pelorin::importing {

enum class Tense { Done, Coming };

QString CountsSentence(qsizetype added, qsizetype leftOut, qsizetype refused, Tense tense);

// Where a refused row was: a file's line, or a table's row.
inline const QString kLineUnit = QStringLiteral("السطر");
inline const QString kRowUnit = QStringLiteral("الصف");

// The refused rows one to a line, "السطر 12: اسم الكتاب فارغ", at most `limit` of them and then
// how many more; 0 for all of them.
QString RefusedLines(const QList<RefusedRow>& refused, qsizetype limit = 0, const QString& unit = kLineUnit);

} // namespace pelorin::importing
