#include "text_table.h"

#include <QStringDecoder>

namespace pelorin::store {

TextTable::TextTable(int columns) : columns_(columns) {}

TextTable::Cell TextTable::place(QStringView text)
{
    if (text.isNull()) return {0, -1};
    const qsizetype start = chars_.size();
    // The text may lie in this buffer, which may move as it grows.
    if (text.data() >= chars_.constData() && text.data() < chars_.constData() + start) {
        const QString copy = text.toString();
        chars_.append(copy);
    } else {
        chars_.append(text);
    }
    return {quint32(start), qint32(text.size())};
}

void TextTable::AppendValue(QStringView text)
{
    cells_.push_back(place(text));
}

void TextTable::AppendUtf8(const char* bytes, qsizetype size)
{
    if (!bytes) {
        cells_.push_back({0, -1});
        return;
    }
    // Decoded straight into the buffer: never more UTF-16 units than UTF-8 bytes.
    const qsizetype start = chars_.size();
    chars_.resize(start + size);
    QChar* const begin = chars_.data() + start;
    // Stateless: each value is read on its own, a byte-order mark at its start dropped.
    thread_local QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QChar* end = utf8.appendToBuffer(begin, QByteArrayView(bytes, size));
    chars_.resize(start + (end - begin));
    cells_.push_back({quint32(start), qint32(end - begin)});
}

void TextTable::Set(int row, int column, QStringView text)
{
    cells_[size_t(row) * size_t(columns_) + size_t(column)] = place(text);
}

void TextTable::RemoveRow(int row)
{
    rowids_.erase(rowids_.begin() + row);
    const auto first = cells_.begin() + long(row) * columns_;
    cells_.erase(first, first + columns_);
}

} // namespace pelorin::store
