#include "text_table.h"

#include <QStringDecoder>

namespace pelorin::store {

namespace {

bool continuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Writes well-formed UTF-8 as UTF-16 at out and returns the end; nullptr when the bytes hold
// anything else (a broken, overlong or surrogate sequence, or a byte-order mark to drop), which
// QStringDecoder then reads. Most texts are well formed, and a loop of its own reads them
// several times faster than a call into the decoder per value.
char16_t* wellFormedUtf8(const unsigned char* s, qsizetype n, char16_t* out)
{
    if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) return nullptr;
    const unsigned char* const end = s + n;
    while (s < end) {
        const unsigned c = *s;
        if (c < 0x80) {
            *out++ = char16_t(c);
            ++s;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (end - s < 2 || !continuation(s[1])) return nullptr;
            *out++ = char16_t(((c & 0x1F) << 6) | (s[1] & 0x3F));
            s += 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            if (end - s < 3 || !continuation(s[1]) || !continuation(s[2])) return nullptr;
            const unsigned v = ((c & 0x0F) << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu);
            if (v < 0x800 || (v >= 0xD800 && v <= 0xDFFF)) return nullptr;
            *out++ = char16_t(v);
            s += 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            if (end - s < 4 || !continuation(s[1]) || !continuation(s[2]) || !continuation(s[3]))
                return nullptr;
            const unsigned v =
                ((c & 0x07) << 18) | ((s[1] & 0x3Fu) << 12) | ((s[2] & 0x3Fu) << 6) | (s[3] & 0x3Fu);
            if (v < 0x10000 || v > 0x10FFFF) return nullptr;
            *out++ = char16_t(0xD800 + ((v - 0x10000) >> 10));
            *out++ = char16_t(0xDC00 + ((v - 0x10000) & 0x3FF));
            s += 4;
        } else {
            return nullptr;
        }
    }
    return out;
}

} // namespace

TextTable::TextTable(int columns) : columns_(columns) {}

TextTable::Cell TextTable::place(QStringView text)
{
    if (text.isNull()) return {0, -1};
    const size_t start = chars_.size();
    // The text may lie in this buffer, which may move as it grows: its place is taken first.
    const bool inside = text.utf16() >= chars_.data() && text.utf16() < chars_.data() + start;
    const size_t from = inside ? size_t(text.utf16() - chars_.data()) : 0;
    char16_t* out = chars_.Room(size_t(text.size()));
    std::memcpy(out, inside ? chars_.data() + from : text.utf16(), size_t(text.size()) * sizeof(char16_t));
    chars_.Commit(size_t(text.size()));
    return {quint32(start), qint32(text.size())};
}

void TextTable::AppendValue(QStringView text)
{
    cells_.Append(place(text));
}

void TextTable::AppendUtf8(const char* bytes, qsizetype size)
{
    if (!bytes) {
        cells_.Append({0, -1});
        return;
    }
    // Never more UTF-16 units than UTF-8 bytes.
    const size_t start = chars_.size();
    char16_t* const begin = chars_.Room(size_t(size));
    const char16_t* end = wellFormedUtf8(reinterpret_cast<const unsigned char*>(bytes), size, begin);
    if (!end) {
        // Stateless: each value is read on its own, a byte-order mark at its start dropped.
        thread_local QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        end = reinterpret_cast<const char16_t*>(
            utf8.appendToBuffer(reinterpret_cast<QChar*>(begin), QByteArrayView(bytes, size)));
    }
    chars_.Commit(size_t(end - begin));
    cells_.Append({quint32(start), qint32(end - begin)});
}

void TextTable::AppendInteger(qint64 value)
{
    char16_t digits[20];
    int k = 0;
    quint64 v = value < 0 ? 0 - quint64(value) : quint64(value);
    do {
        digits[k++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v);
    const size_t start = chars_.size(), size = size_t(k) + (value < 0 ? 1 : 0);
    char16_t* out = chars_.Room(size);
    if (value < 0) *out++ = u'-';
    while (k)
        *out++ = digits[--k];
    chars_.Commit(size);
    cells_.Append({quint32(start), qint32(size)});
}

void TextTable::Set(int row, int column, QStringView text)
{
    cells_[size_t(row) * size_t(columns_) + size_t(column)] = place(text);
}

void TextTable::RemoveRow(int row)
{
    rowids_.Erase(size_t(row), 1);
    cells_.Erase(size_t(row) * size_t(columns_), size_t(columns_));
}

} // namespace pelorin::store
