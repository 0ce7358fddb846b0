// A CSV document as spreadsheet programs read it: UTF-8 with a byte-order mark (without it
// they take the bytes for the system's code page and Arabic turns to noise), records ended by
// CR LF, and a cell quoted when it holds a comma, a quote or a line break (RFC 4180).
#pragma once

#include <QByteArray>
#include <QStringView>

class QIODevice;

namespace pelorin::csv {

// A cell that a spreadsheet would run as a formula: it starts with = + - @, a tab or a carriage
// return. The export puts an apostrophe before it; the import takes that off again.
bool StartsFormula(QStringView text);

// Writes the document to a device piece by piece, so that a large one never sits in memory
// whole.
class Document {
public:
    // Starts with the byte-order mark.
    explicit Document(QIODevice& out);
    // Whatever is still held is written.
    ~Document();

    // Appends a cell to the current record. A cell that a spreadsheet would run as a formula
    // (starting with = + - @, a tab or a carriage return) gets a leading apostrophe, so that it
    // is shown as the text it is.
    void AddCell(QStringView text);
    // Ends the current record.
    void EndRecord();

    // Writes out what is held; false when any write to the device has failed.
    bool Flush();

private:
    // Room for n more bytes; the pointer to write them at.
    char* room(qsizetype n);
    // Writes the text as UTF-8 unless it holds a character that needs quotes; the end of what
    // was written, or nullptr (with nothing written).
    static char* plainUtf8(char* out, QStringView text);
    static char* quotedUtf8(char* out, QStringView text);

    QIODevice& out_;
    QByteArray bytes_; // held up to used_; the rest is room
    qsizetype used_ = 0;
    bool recordStarted_ = false;
    bool failed_ = false;
};

} // namespace pelorin::csv
