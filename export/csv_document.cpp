#include "csv_document.h"

namespace pelorin::csv {

namespace {

bool startsFormula(QStringView text)
{
    if (text.isEmpty()) return false;
    switch (text.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r':
        return true;
    default:
        return false;
    }
}

bool needsQuotes(QStringView text)
{
    for (QChar c : text)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r') return true;
    return false;
}

} // namespace

Document::Document(qsizetype expectedBytes)
{
    bytes_.reserve(expectedBytes + 3);
    bytes_.append("\xEF\xBB\xBF", 3);
}

void Document::appendUtf8(QStringView text)
{
    const qsizetype at = bytes_.size();
    bytes_.resize(at + utf8_.requiredSpace(text.size()));
    char* end = utf8_.appendToBuffer(bytes_.data() + at, text);
    bytes_.resize(end - bytes_.constData());
}

void Document::AddCell(QStringView text)
{
    if (recordStarted_) bytes_.append(',');
    recordStarted_ = true;
    const bool quoted = needsQuotes(text);
    if (quoted) bytes_.append('"');
    if (startsFormula(text)) bytes_.append('\'');
    if (!quoted) {
        appendUtf8(text);
        return;
    }
    // A quote inside a quoted cell is written twice.
    qsizetype from = 0;
    for (qsizetype q = text.indexOf(u'"'); q >= 0; q = text.indexOf(u'"', from)) {
        appendUtf8(text.sliced(from, q + 1 - from));
        bytes_.append('"');
        from = q + 1;
    }
    appendUtf8(text.sliced(from));
    bytes_.append('"');
}

void Document::EndRecord()
{
    bytes_.append("\r\n", 2);
    recordStarted_ = false;
}

} // namespace pelorin::csv
