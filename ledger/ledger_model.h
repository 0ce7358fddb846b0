// The rows of the ledger list: the shown texts of each loan, its record key, and the warning
// colours and tool tips of its date and duration cells. Under a filter the list shows only the
// matching loans, in the same order, numbered from 1; the others are kept to be shown again.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QDate>
#include <QPixmap>

#include <array>
#include <memory>
#include <vector>

#include "row_filter.h"

namespace pelorin::store {
class Recordset;
}

namespace pelorin::ledger {

// Columns of the list, in order; the first stands at the right edge.
enum Column {
    ColNumber = 0,
    ColNameBook,
    ColNameWriter,
    ColNameBorrower,
    ColDateLoan,
    ColDateReturn,
    ColTimeLoan,
    ColumnCount
};

struct ColumnInfo {
    QString key; // also the field shown, except for the number column
    QString caption;
    int widthTwips;
    Qt::Alignment alignment;
};
const ColumnInfo& ColumnAt(int column);

inline const QColor kWarningRed(255, 0, 0);
inline const QColor kNotReturnedPurple(192, 0, 192);

// The warning tool tips.
namespace tips {
inline const QString kNotReturned = QStringLiteral("لم يقم المستعير برد الكتاب بعد");
inline const QString kLoanNotYetOut = QStringLiteral("يرجى التصحيح فتاريخ الإعارة لم يأتِ بعد");
inline const QString kReturnBeforeLoan = QStringLiteral("يرجى التصحيح فتاريخ الرد أصغر من تاريخ الإعارة");
inline const QString kLoanInFuture = QStringLiteral("لقد أدخلت تاريخاً للإعارة لم يأتِ بعد");
inline const QString kReturnInFuture = QStringLiteral("لقد أدخلت تاريخاً للرد لم يأتِ بعد");
} // namespace tips

// The shown text of a stored date: a date in any year/month/day spelling comes out as
// "yyyy/mm/dd"; anything else (the not-returned marker, a damaged value) unchanged.
QString DateCellText(const QString& trimmed);

class LedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LedgerModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Empties the list (the filter stays for the rows that come next).
    void Clear();
    // Empties the list and hands back its rows, so that a caller can free them elsewhere.
    std::shared_ptr<void> Take();
    // Appends one row per record of the set, in the set's order, with the warnings as of today.
    void Append(const store::Recordset& rs, const QDate& today);

    // Shows only the rows holding every word of the typed text (see find::RowFilter); blank
    // text shows every row.
    void SetFilter(const QString& typed);
    bool Filtered() const { return !filter_.IsEmpty(); }
    // Every loan in the list, shown or not.
    int TotalCount() const { return int(rows_.size()); }
    // The shown row of a record key, or -1 when it is not shown.
    int RowOfId(qint64 id) const;

    // The record key (ID) a (shown) row stands for.
    qint64 IdAt(int row) const;
    // The text shown in a cell (the number column gives the row number).
    QString CellText(int row, int column) const;
    // The texts of a shown row's cells after the number, in column order, to read many rows
    // without copying them; empty texts outside the list.
    const std::array<QString, ColumnCount - 1>& RowCells(int row) const;
    // The text colour of a cell: invalid when the cell carries no warning.
    QColor CellColour(int row, int column) const;
    QString CellToolTip(int row, int column) const;

    // Header images: 0 none, 1 triangle up, 2 triangle down.
    void SetHeaderImage(int column, int image);
    int HeaderImage(int column) const;
    static QPixmap HeaderPicture(int image);

private:
    enum Colour : quint8 { Plain, Red, Purple };
    enum Tip : quint8 {
        NoTip,
        TipNotReturned,
        TipLoanNotYetOut,
        TipReturnBeforeLoan,
        TipLoanInFuture,
        TipReturnInFuture
    };
    struct Mark {
        Colour colour = Plain;
        Tip tip = NoTip;
    };
    struct Row {
        qint64 id = 0;
        std::array<QString, ColumnCount - 1> cells; // columns 1..6
        std::array<Mark, 3> marks;                  // loan date, return date, duration
        QString search;                             // what the filter looks in, normalised once
    };
    static void ApplyWarnings(Row& row, const QString& dateLoan, const QString& dateReturn,
                              const QString& timeLoan, const QString& today);
    const Mark* MarkOf(int row, int column) const;
    // The row behind a shown row; nullptr outside the list.
    const Row* At(int row) const;
    int ShownCount() const { return Filtered() ? int(shown_.size()) : int(rows_.size()); }

    std::vector<Row> rows_;
    find::RowFilter filter_;
    std::vector<int> shown_; // under a filter: the indexes in rows_ of the shown rows, in order
    std::array<int, ColumnCount> headerImages_{};
};

} // namespace pelorin::ledger
