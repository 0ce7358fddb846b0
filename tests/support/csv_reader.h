// Reads a CSV file back with Python's csv module, a reader we did not write, as a spreadsheet
// would take it: UTF-8 with the byte-order mark dropped.
#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QList>
#include <QProcess>
#include <QStringList>

namespace pelorin::test {

// The records of the file; ok is false (with the reader's complaint in error) when it could not
// be read.
inline QList<QStringList> ReadCsvWithPython(const QString& path, bool* ok = nullptr, QString* error = nullptr)
{
    static const char* kScript = "import csv, json, sys\n"
                                 "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                 "    json.dump(list(csv.reader(f, strict=True)), sys.stdout)\n";
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kScript), path});
    const bool ran = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    QList<QStringList> rows;
    if (ran)
        for (const QJsonValue& record : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
            QStringList cells;
            for (const QJsonValue& cell : record.toArray())
                cells << cell.toString();
            rows << cells;
        }
    if (ok) *ok = ran;
    if (error) *error = p.errorString() + QString::fromUtf8(p.readAllStandardError());
    return rows;
}

} // namespace pelorin::test
