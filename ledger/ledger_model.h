// The rows of the ledger list: the shown texts of each loan, its record key, and the warning
// colours and tool tips of its date and duration cells. The texts are those of the result set
// the list was filled from, held once; the list sorts them in memory as the engine would.
// Under a filter the list shows only the matching loans, in the same order, numbered from 1;
// the others are kept to be shown again.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QDate>
#include <QPixmap>

#include <array>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "collation.h"
#include "row_filter.h"
#include "text_table.h"

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

// How Append takes the rows of a result set.
struct AppendOptions {
    // Sorted as the list's own statement sorts them (by title, then by borrower) rather than
    // kept in the set's order.
    bool listOrder = false;
    // Shown with today's durations rather than the stored ones (they could not be saved).
    bool todaysDurations = false;
};

class LedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LedgerModel(QObject* parent = nullptr);
    ~LedgerModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Empties the list (the filter stays for the rows that come next).
    void Clear();
    // Appends one row per record of the set, with the warnings as of today. The list keeps the
    // set's texts (not copies of them) for as long as it shows them.
    void Append(const store::Recordset& rs, const QDate& today, AppendOptions options = {});
    // The same for rows read without a result set, with their field names.
    void Append(std::shared_ptr<const store::TextTable> rows, const QStringList& names, const QDate& today,
                AppendOptions options = {});
    // The rows from first on, in list order up to middle and from middle on (appended in two
    // pieces), put in list order as one Append of them all would have.
    void MergeListOrder(size_t first, size_t middle);
    // Puts the rows in the order the engine gives the list's sort statement for a column:
    // "ORDER BY <field> <direction>, NameBook asc" in the program's collation, rows equal in
    // both in the order the engine reads the table (by record key). The number column sorts by
    // record key. Only for rows whose file SortsLikeTheEngine.
    void Sort(int column, bool ascending);

    // Shows only the rows holding every word of the typed text (see find::RowFilter); blank
    // text shows every row.
    void SetFilter(const QString& typed);
    // Makes the rows' search texts, which the list does without until the first search: then
    // the first word typed is looked for at once.
    void PrepareSearch();
    // Shows only the loans whose text in a column (title to return date) is the value, whole,
    // in the find bar's spelling; the typed filter's words are dropped.
    void SetFieldFilter(int column, const QString& value);
    // The column of the field filter, -1 when there is none.
    int FieldFilterColumn() const { return fieldColumn_; }
    bool Filtered() const { return !filter_.IsEmpty() || fieldColumn_ >= 0; }
    // Every loan's record key, title, author and borrower as the list shows them, shown or not.
    // The texts are valid until the list changes.
    void ForEachLoan(const std::function<void(qint64 id, QStringView book, QStringView writer,
                                              QStringView borrower)>& visit) const;
    // Every loan in the list, shown or not.
    int TotalCount() const { return int(rows_.size()); }
    // The shown row of a record key, or -1 when it is not shown.
    int RowOfId(qint64 id) const;

    // The record key (ID) a (shown) row stands for.
    qint64 IdAt(int row) const;
    // The text shown in a cell (the number column gives the row number).
    QString CellText(int row, int column) const;
    // The texts of a shown row's cells after the number, in column order, to read many rows
    // without copying them; empty outside the list. Valid until the list changes.
    std::array<QStringView, ColumnCount - 1> RowCells(int row) const;
    // For a reader going down the shown rows in order (an export): asks the processor now, in
    // three steps, for what rows a little further down need, so that their texts are in the
    // cache by the time they are read. The rows lie in memory in the order they were read.
    void PrefetchAhead(int row) const;
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
    // The texts a row shows come from its result set's rows; only a shown date in another
    // spelling than the stored one, and today's duration that could not be saved, are kept
    // apart (as overrides).
    enum Flag : quint8 {
        LoanShownApart = 1,
        ReturnShownApart = 2,
        DurationApart = 4,
    };
    struct Row {
        quint32 record = 0; // in its source
        quint32 source = 0;
        quint8 flags = 0;
        quint8 blanks = 0;         // a bit for each column after the number whose text has blanks around it
        std::array<Mark, 3> marks; // loan date, return date, duration
    };
    // A result set's rows and where the list's fields lie in them.
    struct Source {
        std::shared_ptr<const store::TextTable> rows;
        std::array<int, ColumnCount - 1> fields; // by column after the number; -1: none
    };

    // The dates as their cells show them (yyyy/mm/dd where they can be read), so that they
    // compare with today's text as dates; text that is no date compares as it stands.
    static void ApplyWarnings(Row& row, QStringView dateLoan, QStringView dateReturn, QStringView timeLoan,
                              const QString& today);
    // A stored text of a row by column after the number (today's duration when it is kept
    // apart); trimmed is what the list shows for all but the dates.
    QStringView Stored(size_t row, int column) const;
    QStringView Shown(size_t row, int column) const;
    const Mark* MarkOf(int row, int column) const;
    // The index in rows_ behind a shown row; -1 outside the list.
    long IndexAt(int row) const;
    int ShownCount() const { return Filtered() ? int(shown_.size()) : int(order_.size()); }
    QStringView SearchTextOf(size_t row) const;
    // The keys of a column for every row, computed once.
    const store::CollationKeys& KeysOf(int column);
    // Sorts order_[first..] by title, then by borrower; rows equal in both stay as they were
    // read (the engine reads the table by record key).
    void SortInListOrder(size_t first);
    void RebuildShown();
    // Marks in matching_ the rows from first on that hold every word of the filter.
    void MatchRows(const find::RowFilter& filter, size_t first);
    // The same for the field filter.
    void MatchField(size_t first);

    std::vector<Source> sources_;
    std::vector<Row> rows_;                      // in the order they were appended
    std::vector<int> order_;                     // the rows as the list shows them, indexes into rows_
    QString searchChars_;                        // the search texts of all rows, one after another
    std::vector<quint32> searchStarts_;          // where each row's begins; one more for the end
    std::vector<quint8> matching_;               // 1 where the row holds the words of the filter
    std::unordered_map<quint64, QString> apart_; // by row * 8 + column
    std::array<std::unique_ptr<store::CollationKeys>, ColumnCount> keys_;
    find::RowFilter filter_;
    int fieldColumn_ = -1;
    QString fieldValue_;     // normalised
    std::vector<int> shown_; // under a filter: the shown rows, in list order
    std::array<int, ColumnCount> headerImages_{};
};

} // namespace pelorin::ledger
