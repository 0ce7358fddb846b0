// Reads a CSV file back with Python's csv module, a reader we did not write, as a spreadsheet
// would take it: UTF-8, the byte-order mark dropped.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStringList>

namespace pelorin::test {

// The records of the file; ok is false when the reader failed.
inline QList<QStringList> ReadCsvWithPython(const QString& path, bool* ok)
{
    QProcess p;
    p.start(QStringLiteral("python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import csv, json, sys\n"
                            "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                            "    json.dump(list(csv.reader(f, strict=True)), sys.stdout)"),
             path});
    *ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    QList<QStringList> rows;
    for (const QJsonValue& record : QJsonDocument::fromJson(p.readAllStandardOutput()).array())
        rows << record.toVariant().toStringList();
    return rows;
}

} // namespace pelorin::test
