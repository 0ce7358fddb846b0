// A CSV document as spreadsheet programs read it: UTF-8 with a byte-order mark (without it
// they take the bytes for the system's code page and Arabic turns to noise), records ended by
// CR LF, and a cell quoted when it holds a comma, a quote or a line break (RFC 4180).
#pragma once

#include <QByteArray>
#include <QStringConverter>
#include <QStringView>

namespace pelorin::csv {

class Document {
public:
    // An empty document: the byte-order mark alone. expectedBytes reserves room up front.
    explicit Document(qsizetype expectedBytes = 0);

    // Appends a cell to the current record. A cell that a spreadsheet would run as a formula
    // (starting with = + - @, a tab or a carriage return) gets a leading apostrophe, so that it
    // is shown as the text it is.
    void AddCell(QStringView text);
    // Ends the current record.
    void EndRecord();

    const QByteArray& Bytes() const { return bytes_; }

private:
    void appendUtf8(QStringView text);

    QByteArray bytes_;
    QStringEncoder utf8_{QStringEncoder::Utf8};
    bool recordStarted_ = false;
};

} // namespace pelorin::csv
