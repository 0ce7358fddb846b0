// A file's bytes as records and columns, with the limits a file must keep: what the preview
// shows first, read again when the owner picks another encoding or separator.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

#include "column_map.h"
#include "csv_reader.h"
#include "text_decode.h"

namespace pelorin::importing {

// The largest file read.
inline constexpr qsizetype kMaxFileBytes = 100 * 1024 * 1024;

struct ParsedFile {
    Encoding encoding = Encoding::Utf8;
    QChar separator = u',';
    QList<Record> records;
    ColumnMap map;
    QString error; // in Arabic: an empty, too large or binary file, an open quote, a long field
    int errorLine = 0;
    QString warning;      // in Arabic: read, but not all of it (rows of an Access table lost)
    bool stopped = false; // told to stop: nothing read
};

// Reads the bytes in the given encoding and separator, or those detected when none is given.
// A reader on another thread can be told to stop through stop.
ParsedFile ParseFile(const QByteArray& bytes, std::optional<Encoding> encoding = std::nullopt,
                     std::optional<QChar> separator = std::nullopt, const std::atomic<bool>* stop = nullptr);

} // namespace pelorin::importing
