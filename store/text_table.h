// The texts of many rows side by side in one buffer. A hundred thousand loans of seven short
// texts each would otherwise cost a heap block and a string header per text; here each text
// costs its characters and eight bytes.
#pragma once

#include <QStringView>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

namespace pelorin::store {

// A growing array of plain values. It grows by reallocating, which moves a large array by
// remapping its pages instead of copying them, and new room is handed out unwritten: the caller
// writes into it and then says how much it used.
template <class T> class GrowingArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowingArray() = default;
    GrowingArray(const GrowingArray& other)
    {
        if (other.size_ == 0) return;
        std::memcpy(Room(other.size_), other.data_, other.size_ * sizeof(T));
        size_ = other.size_;
    }
    GrowingArray& operator=(const GrowingArray&) = delete;
    ~GrowingArray() { std::free(data_); }

    size_t size() const { return size_; }
    const T* data() const { return data_; }
    const T& operator[](size_t i) const { return data_[i]; }
    T& operator[](size_t i) { return data_[i]; }

    // Room for n more values after the last one.
    T* Room(size_t n)
    {
        if (size_ + n > capacity_) {
            const size_t capacity = std::max({size_ + n, capacity_ * 2, size_t(4096) / sizeof(T)});
            auto* grown = static_cast<T*>(std::realloc(static_cast<void*>(data_), capacity * sizeof(T)));
            if (!grown) throw std::bad_alloc();
            data_ = grown;
            capacity_ = capacity;
        }
        return data_ + size_;
    }
    // Room for n values in all, in one allocation.
    void Reserve(size_t n)
    {
        if (n > capacity_) {
            auto* grown = static_cast<T*>(std::realloc(static_cast<void*>(data_), n * sizeof(T)));
            if (!grown) throw std::bad_alloc();
            data_ = grown;
            capacity_ = n;
        }
    }
    // The first n values of the room are now written.
    void Commit(size_t n) { size_ += n; }
    void Append(const T& value)
    {
        *Room(1) = value;
        ++size_;
    }
    void Erase(size_t first, size_t n)
    {
        std::memmove(static_cast<void*>(data_ + first), data_ + first + n, (size_ - first - n) * sizeof(T));
        size_ -= n;
    }

private:
    T* data_ = nullptr;
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

    // Room for this many rows, and characters of their values, in one allocation each: a table
    // filled by a reader that knows about how much is coming.
    void Reserve(int rows, size_t chars)
    {
        rowids_.Reserve(size_t(rows));
        cells_.Reserve(size_t(rows) * size_t(columns_));
        chars_.Reserve(chars);
    }
    size_t CharCount() const { return chars_.size(); }

    // Starts a row; its values follow, one for each column in order.
    void AppendRow(qint64 rowid) { rowids_.Append(rowid); }
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
    GrowingArray<qint64> rowids_;
    GrowingArray<Cell> cells_; // row-major
    GrowingArray<char16_t> chars_;
};

} // namespace pelorin::store
