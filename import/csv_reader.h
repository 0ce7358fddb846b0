// Records of a CSV text as RFC 4180 writes them: fields split by a comma, semicolon or tab,
// quoted when they hold the separator, a quote (written twice) or a line break; records ended
// by CR LF or LF.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

namespace pelorin::importing {

// The longest field read, in characters (1 MB of text).
inline constexpr qsizetype kMaxFieldChars = 1024 * 1024;

// The separator the first records use most consistently outside quotes: comma, semicolon or
// tab (a comma when the text shows none).
QChar DetectSeparator(QStringView text);

struct Record {
    int line = 0; // the line the record starts on, from 1
    QStringList fields;
};

struct ReadResult {
    QList<Record> records; // blank lines left out
    QString error;         // in Arabic; empty when the text was read whole
    int errorLine = 0;
    bool stopped = false; // the reader was told to stop: no records
};

// Reads every record. The apostrophe our own export puts before a cell that a spreadsheet
// would run as a formula (one starting with = + - @, a tab or a carriage return) is taken off
// again. Binary text (a NUL character), a quote left open to the end, or a field over
// kMaxFieldChars give an error and no records.
// A reader on another thread can be told to stop through stop.
ReadResult ReadRecords(QStringView text, QChar separator, const std::atomic<bool>* stop = nullptr);

} // namespace pelorin::importing
