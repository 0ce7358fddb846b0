// The texts of many rows side by side in one buffer. A hundred thousand loans of seven short
// texts each would otherwise cost a heap block and a string header per text; here each text
// costs its characters and eight bytes.
#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace pelorin::store {

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
        return c.size < 0 ? QStringView() : QStringView(chars_.constData() + c.start, c.size);
    }

    // Starts a row; its values follow, one for each column in order.
    void AppendRow(qint64 rowid) { rowids_.push_back(rowid); }
    void AppendValue(QStringView text);
    // A value given as UTF-8, read as QString::fromUtf8 reads it; nullptr is a null value.
    void AppendUtf8(const char* bytes, qsizetype size);

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
    QString chars_;
};

} // namespace pelorin::store
