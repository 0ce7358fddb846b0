#include "ledger_model.h"

#include <QPainter>
#include <QPolygon>

#include "database.h"
#include "loan_duration.h"
#include "style.h"

namespace pelorin::ledger {

namespace {

const ColumnInfo kColumns[ColumnCount] = {
    {QStringLiteral("Nnmber"), QString(), 300, Qt::AlignLeft | Qt::AlignVCenter},
    {QStringLiteral("NameBook"), QStringLiteral("اسم الكتاب"), 1800, Qt::AlignCenter},
    {QStringLiteral("NameWriter"), QStringLiteral("اسم المؤلف"), 1600, Qt::AlignCenter},
    {QStringLiteral("NameBorrower"), QStringLiteral("اسم المستعير"), 1600, Qt::AlignCenter},
    {QStringLiteral("DateLoan"), QStringLiteral("تاريخ الإعارة"), 1380, Qt::AlignCenter},
    {QStringLiteral("DateReturn"), QStringLiteral("تاريخ الرد"), 1380, Qt::AlignCenter},
    {QStringLiteral("TimeLoan"), QStringLiteral("مدة الإعارة"), 2300, Qt::AlignCenter},
};

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The stored form already: the common case, answered without building a new text.
bool isCanonicalDate(const QString& t)
{
    if (t.size() != 10 || t[4] != QLatin1Char('/') || t[7] != QLatin1Char('/')) return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!isDigit(t[i])) return false;
    const int y = t.mid(0, 4).toInt(), m = t.mid(5, 2).toInt(), d = t.mid(8, 2).toInt();
    return y >= 100 && QDate::isValid(y, m, d); // lower years are read as short years
}

// Outline triangles in grey and white, used when the artwork is not in the resources.
QPixmap drawnTriangle(bool up)
{
    QPixmap p(10, 9);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    const QPolygonF shape = up ? QPolygonF({QPointF(5, 1), QPointF(9, 8), QPointF(1, 8)})
                               : QPolygonF({QPointF(1, 1), QPointF(9, 1), QPointF(5, 8)});
    g.setPen(QPen(QColor(128, 128, 128), 1.2));
    g.setBrush(QColor(255, 255, 255));
    g.drawPolygon(shape);
    return p;
}

} // namespace

const ColumnInfo& ColumnAt(int column)
{
    return kColumns[qBound(0, column, ColumnCount - 1)];
}

QString DateCellText(const QString& trimmed)
{
    if (isCanonicalDate(trimmed)) return trimmed;
    const QDate d = duration::ReadDate(trimmed);
    return d.isValid() ? duration::DateText(d) : trimmed;
}

LedgerModel::LedgerModel(QObject* parent) : QAbstractTableModel(parent) {}

int LedgerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ShownCount();
}

int LedgerModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LedgerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= ShownCount()) return {};
    const int row = index.row(), column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return CellText(row, column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ColumnAt(column).alignment);
    case Qt::ForegroundRole: {
        const QColor c = CellColour(row, column);
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::ToolTipRole:
    // A warning exists for a screen reader as its words, not only as a colour.
    case Qt::AccessibleDescriptionRole: {
        const QString tip = CellToolTip(row, column);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
        return {};
    }
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    switch (role) {
    case Qt::DisplayRole:
        return ColumnAt(section).caption;
    case Qt::AccessibleTextRole:
        // The number column shows no caption, but a screen reader needs one.
        return section == ColNumber ? QStringLiteral("الرقم") : ColumnAt(section).caption;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(ColumnAt(section).alignment);
    case Qt::DecorationRole:
        if (headerImages_[size_t(section)] != 0) return HeaderPicture(headerImages_[size_t(section)]);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags LedgerModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void LedgerModel::Clear()
{
    if (rows_.empty()) return;
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    shown_.clear();
    endResetModel();
}

std::shared_ptr<void> LedgerModel::Take()
{
    auto rows = std::make_shared<std::vector<Row>>();
    if (rows_.empty()) return rows;
    beginResetModel();
    rows->swap(rows_);
    shown_.clear();
    endResetModel();
    return rows;
}

void LedgerModel::Append(const store::Recordset& rs, const QDate& today)
{
    const int n = rs.RecordCount();
    if (n == 0) return;
    const int fBook = rs.FieldIndex(QStringLiteral("NameBook"));
    const int fWriter = rs.FieldIndex(QStringLiteral("NameWriter"));
    const int fBorrower = rs.FieldIndex(QStringLiteral("NameBorrower"));
    const int fLoan = rs.FieldIndex(duration::kDateLoanField);
    const int fReturn = rs.FieldIndex(duration::kDateReturnField);
    const int fTime = rs.FieldIndex(duration::kTimeLoanField);
    // A missing field (a hand-made table) reads as empty rather than out of bounds.
    auto value = [&rs](int row, int field) {
        return field < 0 ? QString() : rs.ValueAt(row, field).trimmed();
    };
    const QString todayText = duration::DateText(today);

    const int first = ShownCount();
    const size_t firstRow = rows_.size();
    // Under a filter the new rows stay out of the shown ones until they are matched below.
    if (!Filtered()) beginInsertRows(QModelIndex(), first, first + n - 1);
    rows_.reserve(rows_.size() + size_t(n));
    for (int r = 0; r < n; ++r) {
        Row row;
        row.id = rs.RowIdAt(r);
        const QString loan = value(r, fLoan), back = value(r, fReturn), time = value(r, fTime);
        row.cells[ColNameBook - 1] = value(r, fBook);
        row.cells[ColNameWriter - 1] = value(r, fWriter);
        row.cells[ColNameBorrower - 1] = value(r, fBorrower);
        row.cells[ColDateLoan - 1] = DateCellText(loan);
        row.cells[ColDateReturn - 1] = DateCellText(back);
        row.cells[ColTimeLoan - 1] = time;
        ApplyWarnings(row, loan, back, time, todayText);
        row.search = find::SearchText({row.cells[ColNameBook - 1], row.cells[ColNameWriter - 1],
                                       row.cells[ColNameBorrower - 1], row.cells[ColDateLoan - 1],
                                       row.cells[ColDateReturn - 1]});
        rows_.push_back(std::move(row));
    }
    if (!Filtered()) {
        endInsertRows();
        return;
    }
    std::vector<int> matching;
    for (size_t i = firstRow; i < rows_.size(); ++i)
        if (filter_.Matches(rows_[i].search)) matching.push_back(int(i));
    if (matching.empty()) return;
    beginInsertRows(QModelIndex(), first, first + int(matching.size()) - 1);
    shown_.insert(shown_.end(), matching.begin(), matching.end());
    endInsertRows();
}

void LedgerModel::SetFilter(const QString& typed)
{
    find::RowFilter filter(typed);
    if (filter.Words() == filter_.Words()) return;
    std::vector<int> shown;
    if (!filter.IsEmpty()) {
        shown.reserve(rows_.size());
        for (size_t i = 0; i < rows_.size(); ++i)
            if (filter.Matches(rows_[i].search)) shown.push_back(int(i));
        shown.shrink_to_fit();
    }
    beginResetModel();
    filter_ = std::move(filter);
    shown_.swap(shown);
    endResetModel();
}

int LedgerModel::RowOfId(qint64 id) const
{
    for (int r = 0, n = ShownCount(); r < n; ++r)
        if (At(r)->id == id) return r;
    return -1;
}

const LedgerModel::Row* LedgerModel::At(int row) const
{
    if (row < 0 || row >= ShownCount()) return nullptr;
    return &rows_[Filtered() ? size_t(shown_[size_t(row)]) : size_t(row)];
}

void LedgerModel::ApplyWarnings(Row& row, const QString& dateLoan, const QString& dateReturn,
                                const QString& timeLoan, const QString& today)
{
    Mark& loan = row.marks[0];
    Mark& back = row.marks[1];
    Mark& time = row.marks[2];
    const bool out = dateReturn == duration::kNotReturned;
    const bool inputError = timeLoan == duration::kInputError;
    // Later rules overwrite what earlier ones set on the same cell.
    if (out) back = {Purple, TipNotReturned};
    if (inputError) {
        time.colour = Red;
        if (out) {
            time.tip = TipLoanNotYetOut;
            loan = {Red, TipLoanNotYetOut};
        } else {
            time.tip = TipReturnBeforeLoan;
            back = {Red, TipReturnBeforeLoan};
        }
    }
    if (dateLoan > today && !inputError) {
        loan = {Red, TipLoanInFuture};
        back = {Red, TipReturnInFuture};
    }
    if (dateReturn > today && !inputError && !out) back = {Red, TipReturnInFuture};
}

qint64 LedgerModel::IdAt(int row) const
{
    const Row* r = At(row);
    return r ? r->id : 0;
}

QString LedgerModel::CellText(int row, int column) const
{
    const Row* r = At(row);
    if (!r || column < 0 || column >= ColumnCount) return {};
    if (column == ColNumber) return QString::number(qint64(row) + 1);
    return r->cells[size_t(column - 1)];
}

const std::array<QString, ColumnCount - 1>& LedgerModel::RowCells(int row) const
{
    static const std::array<QString, ColumnCount - 1> none;
    const Row* r = At(row);
    return r ? r->cells : none;
}

const LedgerModel::Mark* LedgerModel::MarkOf(int row, int column) const
{
    const Row* r = At(row);
    if (!r) return nullptr;
    switch (column) {
    case ColDateLoan:
        return &r->marks[0];
    case ColDateReturn:
        return &r->marks[1];
    case ColTimeLoan:
        return &r->marks[2];
    default:
        return nullptr;
    }
}

QColor LedgerModel::CellColour(int row, int column) const
{
    const Mark* m = MarkOf(row, column);
    if (!m) return {};
    switch (m->colour) {
    case Red:
        return kWarningRed;
    case Purple:
        return kNotReturnedPurple;
    default:
        return {};
    }
}

QString LedgerModel::CellToolTip(int row, int column) const
{
    const Mark* m = MarkOf(row, column);
    if (!m) return {};
    switch (m->tip) {
    case TipNotReturned:
        return tips::kNotReturned;
    case TipLoanNotYetOut:
        return tips::kLoanNotYetOut;
    case TipReturnBeforeLoan:
        return tips::kReturnBeforeLoan;
    case TipLoanInFuture:
        return tips::kLoanInFuture;
    case TipReturnInFuture:
        return tips::kReturnInFuture;
    default:
        return {};
    }
}

void LedgerModel::SetHeaderImage(int column, int image)
{
    if (column < 0 || column >= ColumnCount || headerImages_[size_t(column)] == image) return;
    headerImages_[size_t(column)] = image;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int LedgerModel::HeaderImage(int column) const
{
    return column >= 0 && column < ColumnCount ? headerImages_[size_t(column)] : 0;
}

QPixmap LedgerModel::HeaderPicture(int image)
{
    static const QPixmap up = [] {
        const QPixmap p = chrome::Picture(QStringLiteral("sort_up"), QSize(10, 9));
        return p.isNull() ? drawnTriangle(true) : p;
    }();
    static const QPixmap down = [] {
        const QPixmap p = chrome::Picture(QStringLiteral("sort_down"), QSize(10, 9));
        return p.isNull() ? drawnTriangle(false) : p;
    }();
    return image == 1 ? up : image == 2 ? down : QPixmap();
}

} // namespace pelorin::ledger
