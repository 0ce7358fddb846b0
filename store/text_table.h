// The texts of many rows side by side in one buffer. A hundred thousand loans of seven short
// texts each would otherwise cost a heap block and a string header per text; here each text
// costs its characters and eight bytes.
#pragma once

#include <QStringView>

#include <vector>

namespace pelorin::store {

// A growing run of UTF-16 characters. New room is handed out unwritten: the caller writes into
// it and then says how much it used.
class TextBuffer {
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer& other);
    TextBuffer& operator=(const TextBuffer&) = delete;
    ~TextBuffer();

    size_t size() const { return size_; }
    const char16_t* data() const { return data_; }
    // Room for n more characters after the last one.
    char16_t* Room(size_t n);
    // The first n characters of the room are now written.
    void Commit(size_t n) { size_ += n; }
    void Clear();

private:
    char16_t* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

class TextTable {
public:
    explicit TextTable(int columns = 0);

    int ColumnCount() const { return columns_; }
    int RowCount() const { return int(rowids_.size()); }
    qint64 RowId(int row) const { return rowids_[size_t(row)]; }

    // A value; a null view for a null value (an empty text is an empty view that is not null).
    // Valid until the table changes.
    QStringView View(int row, int column) const
    {
        const Cell c = cells_[size_t(row) * size_t(columns_) + size_t(column)];
        if (c.size <= 0) return c.size < 0 ? QStringView() : QStringView(u"", 0);
        return QStringView(chars_.data() + c.start, c.size);
    }

    // Asks the processor for the places of a row's values, ahead of reading them.
    void Prefetch(int row) const
    {
        const Cell* first = cells_.data() + size_t(row) * size_t(columns_);
        __builtin_prefetch(first);
        __builtin_prefetch(first + columns_ - 1);
    }

    // Starts a row; its values follow, one for each column in order.
    void AppendRow(qint64 rowid) { rowids_.push_back(rowid); }
    void AppendValue(QStringView text);
    // A value given as UTF-8, read as QString::fromUtf8 reads it; nullptr is a null value.
    void AppendUtf8(const char* bytes, qsizetype size);
    // A whole number, as the engine writes it as text.
    void AppendInteger(qint64 value);

    // Replaces a value (a null view stores null).
    void Set(int row, int column, QStringView text);
    void RemoveRow(int row);

private:
    struct Cell {
        quint32 start;
        qint32 size; // -1: null
    };
    Cell place(QStringView text);

    int columns_;
    std::vector<qint64> rowids_;
    std::vector<Cell> cells_; // row-major
    TextBuffer chars_;
};

} // namespace pelorin::store
