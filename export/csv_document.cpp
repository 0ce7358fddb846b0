#include "csv_document.h"

#include <QIODevice>

#include <algorithm>

namespace pelorin::csv {

bool StartsFormula(QStringView text)
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

namespace {

bool needsQuotes(char16_t c)
{
    return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
}

// One character (or surrogate pair) as UTF-8; i moves past what was read. A lone surrogate
// becomes U+FFFD, as every UTF-8 writer does.
inline char* putChar(char* o, const char16_t* s, qsizetype& i, qsizetype n)
{
    char32_t c = s[i];
    if (c < 0x80) {
        *o++ = char(c);
        return o;
    }
    if (c < 0x800) {
        *o++ = char(0xC0 | (c >> 6));
        *o++ = char(0x80 | (c & 0x3F));
        return o;
    }
    if (c >= 0xD800 && c <= 0xDFFF) {
        if (c < 0xDC00 && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
            *o++ = char(0xF0 | (c >> 18));
            *o++ = char(0x80 | ((c >> 12) & 0x3F));
            *o++ = char(0x80 | ((c >> 6) & 0x3F));
            *o++ = char(0x80 | (c & 0x3F));
            return o;
        }
        c = 0xFFFD;
    }
    *o++ = char(0xE0 | (c >> 12));
    *o++ = char(0x80 | ((c >> 6) & 0x3F));
    *o++ = char(0x80 | (c & 0x3F));
    return o;
}

} // namespace

// Held before it is written: large enough that the device is called seldom, small enough to
// stay in the processor's cache.
constexpr qsizetype kPiece = 128 * 1024;

Document::Document(QIODevice& out) : out_(out)
{
    bytes_.resize(kPiece);
    std::copy_n("\xEF\xBB\xBF", 3, bytes_.data());
    used_ = 3;
}

Document::~Document()
{
    Flush();
}

bool Document::Flush()
{
    if (used_ > 0 && !failed_) failed_ = out_.write(bytes_.constData(), used_) != used_;
    used_ = 0;
    return !failed_;
}

char* Document::room(qsizetype n)
{
    if (used_ + n > bytes_.size()) {
        Flush();
        // A single cell longer than a piece gets room of its own.
        if (n > bytes_.size()) bytes_.resize(n);
    }
    return bytes_.data() + used_;
}

char* Document::plainUtf8(char* out, QStringView text)
{
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i] < 0x80) {
            if (needsQuotes(s[i])) return nullptr;
            *out++ = char(s[i]);
        } else {
            out = putChar(out, s, i, n);
        }
    }
    return out;
}

char* Document::quotedUtf8(char* out, QStringView text)
{
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    *out++ = '"';
    if (StartsFormula(text)) *out++ = '\'';
    for (qsizetype i = 0; i < n; ++i) {
        // A quote inside a quoted cell is written twice.
        if (s[i] == u'"') *out++ = '"';
        out = putChar(out, s, i, n);
    }
    *out++ = '"';
    return out;
}

void Document::AddCell(QStringView text)
{
    // At most three bytes a UTF-16 unit, every quote doubled, and the separator, quotes and
    // apostrophe around them.
    char* out = room(3 * text.size() + 4);
    if (recordStarted_) *out++ = ',';
    recordStarted_ = true;
    char* start = out;
    if (StartsFormula(text)) *out++ = '\'';
    out = plainUtf8(out, text);
    if (!out) out = quotedUtf8(start, text);
    used_ = out - bytes_.constData();
}

void Document::EndRecord()
{
    char* out = room(2);
    out[0] = '\r';
    out[1] = '\n';
    used_ += 2;
    recordStarted_ = false;
}

} // namespace pelorin::csv
