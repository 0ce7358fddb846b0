#include "ledger_model.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <numeric>
#include <tuple>

#include "arabic_normalize.h"
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
bool isCanonicalDate(QStringView t)
{
    if (t.size() != 10 || t[4] != QLatin1Char('/') || t[7] != QLatin1Char('/')) return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!isDigit(t[i])) return false;
    auto number = [t](int from, int digits) {
        int v = 0;
        for (int i = from; i < from + digits; ++i)
            v = v * 10 + (t[i].unicode() - u'0');
        return v;
    };
    const int y = number(0, 4), m = number(5, 2), d = number(8, 2);
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

LedgerModel::~LedgerModel() = default;

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
    if (rows_.empty() && sources_.empty()) return;
    beginResetModel();
    sources_.clear();
    rows_ = {};
    order_ = {};
    searchChars_.clear();
    searchStarts_ = {};
    matching_ = {};
    apart_.clear();
    for (auto& k : keys_)
        k.reset();
    shown_ = {};
    endResetModel();
}

void LedgerModel::Append(const store::Recordset& rs, const QDate& today, AppendOptions options)
{
    Append(rs.Rows(), rs.FieldNames(), today, options);
}

void LedgerModel::Append(std::shared_ptr<const store::TextTable> rows, const QStringList& names,
                         const QDate& today, AppendOptions options)
{
    const int n = rows->RowCount();
    if (n == 0) return;
    Source source{std::move(rows), {}};
    for (int c = ColNameBook; c < ColumnCount; ++c)
        source.fields[size_t(c - 1)] = store::FieldIndexIn(names, ColumnAt(c).key);
    sources_.push_back(std::move(source));
    const Source& from = sources_.back();
    const store::TextTable& table = *from.rows;
    // A missing field (a hand-made table) reads as null rather than out of bounds.
    auto stored = [&](int record, int column) {
        const int field = from.fields[size_t(column - 1)];
        return field < 0 ? QStringView() : table.View(record, field);
    };
    const QString todayText = duration::DateText(today);

    const size_t first = rows_.size();
    const int firstShown = ShownCount();
    // Under a filter the new rows stay out of the shown ones until they are matched below.
    if (!Filtered()) beginInsertRows(QModelIndex(), firstShown, firstShown + n - 1);
    // Rows come in pieces at start-up: room grows by doubling, not piece by piece.
    const auto room = [size = first + size_t(n)](auto& v) {
        if (v.capacity() < size) v.reserve(std::max(size, v.capacity() * 2));
    };
    room(order_);
    room(rows_);
    room(matching_);
    for (int r = 0; r < n; ++r) {
        const size_t index = rows_.size();
        Row row;
        row.record = quint32(r);
        row.source = quint32(sources_.size() - 1);
        const QStringView loan = stored(r, ColDateLoan).trimmed(), back = stored(r, ColDateReturn).trimmed();
        QStringView time = stored(r, ColTimeLoan).trimmed();
        if (options.todaysDurations) {
            const QString& computed = apart_[index * 8 + ColTimeLoan - 1] =
                duration::GetTimeLoan(stored(r, ColDateLoan), stored(r, ColDateReturn), today);
            row.flags |= DurationApart;
            time = QStringView(computed).trimmed();
        }
        QStringView loanShown = loan, backShown = back;
        for (auto [text, shown, flag, column] :
             {std::tuple{loan, &loanShown, LoanShownApart, ColDateLoan},
              std::tuple{back, &backShown, ReturnShownApart, ColDateReturn}}) {
            if (isCanonicalDate(text)) continue;
            const QDate d = duration::ReadDate(text);
            if (!d.isValid()) continue;
            const QString& formatted = apart_[index * 8 + size_t(column - 1)] = duration::DateText(d);
            row.flags |= flag;
            *shown = formatted;
        }
        // The warnings compare the dates as the cells show them: "2024/3/5" is the 5th of March.
        ApplyWarnings(row, loanShown, backShown, time, todayText);

        const QStringView book = stored(r, ColNameBook).trimmed(),
                          writer = stored(r, ColNameWriter).trimmed(),
                          borrower = stored(r, ColNameBorrower).trimmed();
        matching_.push_back(0);
        // Most texts have no blanks around them, and the list shows them without trimming.
        const QStringView trimmed[] = {book, writer, borrower, loan, back, time};
        for (int c = 0; c < ColumnCount - 1; ++c) {
            const QStringView raw = c == ColTimeLoan - 1 && (row.flags & DurationApart)
                                        ? QStringView(apart_[index * 8 + size_t(c)])
                                        : stored(r, c + 1);
            if (raw.size() != trimmed[c].size()) row.blanks |= quint8(1 << c);
        }

        rows_.push_back(row);
        order_.push_back(int(index));
    }
    if (options.listOrder) SortInListOrder(first);
    if (fieldColumn_ >= 0) {
        MatchField(first);
    } else if (Filtered()) {
        PrepareSearch();
        MatchRows(filter_, first);
    }
    if (!Filtered()) {
        endInsertRows();
        return;
    }
    std::vector<int> matching;
    for (size_t i = first; i < order_.size(); ++i)
        if (matching_[size_t(order_[i])]) matching.push_back(order_[i]);
    if (matching.empty()) return;
    beginInsertRows(QModelIndex(), firstShown, firstShown + int(matching.size()) - 1);
    shown_.insert(shown_.end(), matching.begin(), matching.end());
    endInsertRows();
}

QStringView LedgerModel::Stored(size_t row, int column) const
{
    const Row& r = rows_[row];
    if (column == ColTimeLoan - 1 && (r.flags & DurationApart)) return apart_.at(row * 8 + size_t(column));
    const Source& s = sources_[r.source];
    const int field = s.fields[size_t(column)];
    return field < 0 ? QStringView() : s.rows->View(int(r.record), field);
}

QStringView LedgerModel::Shown(size_t row, int column) const
{
    const quint8 apart = column == ColDateLoan - 1     ? LoanShownApart
                         : column == ColDateReturn - 1 ? ReturnShownApart
                                                       : 0;
    const Row& r = rows_[row];
    if (r.flags & apart) return apart_.at(row * 8 + size_t(column));
    const QStringView stored = Stored(row, column);
    return r.blanks & (1 << column) ? stored.trimmed() : stored;
}

void LedgerModel::PrepareSearch()
{
    if (searchStarts_.empty()) searchStarts_.push_back(0);
    for (size_t row = searchStarts_.size() - 1; row < rows_.size(); ++row) {
        const QStringView book = Shown(row, ColNameBook - 1), writer = Shown(row, ColNameWriter - 1),
                          borrower = Shown(row, ColNameBorrower - 1), loan = Shown(row, ColDateLoan - 1),
                          back = Shown(row, ColDateReturn - 1);
        // Each row's text ends in a line break, which no typed word holds: a word found in
        // the buffer lies within one row.
        const qsizetype at = searchChars_.size();
        searchChars_.resize(at + book.size() + writer.size() + borrower.size() + loan.size() + back.size() +
                            6);
        char16_t* const out = reinterpret_cast<char16_t*>(searchChars_.data()) + at;
        char16_t* end = find::SearchTextInto(out, {book, writer, borrower, loan, back});
        *end++ = u'\n';
        searchChars_.resize(at + (end - out));
        searchStarts_.push_back(quint32(searchChars_.size()));
    }
}

QStringView LedgerModel::SearchTextOf(size_t row) const
{
    // Without the line break that ends it.
    return QStringView(searchChars_.constData() + searchStarts_[row],
                       searchStarts_[row + 1] - searchStarts_[row] - 1);
}

void LedgerModel::MatchRows(const find::RowFilter& filter, size_t first)
{
    std::fill(matching_.begin() + long(first), matching_.end(), quint8(0));
    const QStringList& words = filter.Words();
    if (words.isEmpty() || first == rows_.size()) return;
    // The first (longest) word is looked for through the rows' texts in one pass, which is
    // much quicker than a search in each row; the rows it finds are then tried with the rest.
    const qsizetype base = searchStarts_[first];
    const QStringView all = QStringView(searchChars_).sliced(base);
    const find::WordFinder longest(words.first(), all.first(std::min<qsizetype>(all.size(), 1 << 16)));
    std::vector<size_t> found;
    size_t row = first;
    for (qsizetype at = longest.IndexIn(all); at >= 0;) {
        while (searchStarts_[row + 1] <= quint32(base + at))
            ++row;
        found.push_back(row);
        at = longest.IndexIn(all, searchStarts_[row + 1] - base);
    }
    for (size_t i : found)
        matching_[i] = std::all_of(words.cbegin() + 1, words.cend(),
                                   [&](const QString& w) { return SearchTextOf(i).contains(w); });
}

const store::CollationKeys& LedgerModel::KeysOf(int column)
{
    std::unique_ptr<store::CollationKeys>& keys = keys_[size_t(column)];
    if (!keys) {
        keys = std::make_unique<store::CollationKeys>();
        keys->Reserve(int(rows_.size()), rows_.size() * 32);
    }
    for (size_t i = size_t(keys->Count()); i < rows_.size(); ++i)
        keys->Add(Stored(i, column - 1));
    return *keys;
}

void LedgerModel::SortInListOrder(size_t first)
{
    const store::CollationKeys& title = KeysOf(ColNameBook);
    const auto begin = order_.begin() + long(first), end = order_.end();
    // Equal titles stay in the order they were read: the engine reads the table by record key.
    std::stable_sort(begin, end, [&title](int a, int b) { return title.Compare(a, b) < 0; });
    // Rows of one title go by borrower; few titles repeat, so only theirs get keys.
    for (auto run = begin; run != end;) {
        auto next = run + 1;
        while (next != end && title.Compare(*run, *next) == 0)
            ++next;
        if (next - run > 1) {
            store::CollationKeys borrower;
            std::vector<int> rows(run, next), at(rows.size());
            for (int row : rows)
                borrower.Add(Stored(size_t(row), ColNameBorrower - 1));
            std::iota(at.begin(), at.end(), 0);
            std::stable_sort(at.begin(), at.end(),
                             [&borrower](int a, int b) { return borrower.Compare(a, b) < 0; });
            for (size_t k = 0; k < at.size(); ++k)
                run[long(k)] = rows[size_t(at[k])];
        }
        run = next;
    }
}

void LedgerModel::MergeListOrder(size_t first, size_t middle)
{
    if (first >= middle || middle >= order_.size()) return;
    const store::CollationKeys& title = KeysOf(ColNameBook);
    auto before = [&](int a, int b) {
        const int c = title.Compare(a, b);
        if (c != 0) return c < 0;
        // A title in both pieces goes by borrower; few titles repeat, so only theirs get keys.
        store::CollationKeys borrower;
        borrower.Add(Stored(size_t(a), ColNameBorrower - 1));
        borrower.Add(Stored(size_t(b), ColNameBorrower - 1));
        return borrower.Compare(0, 1) < 0;
    };
    emit layoutAboutToBeChanged();
    // Rows equal in both stay in the order they were read: the first piece's come first.
    std::inplace_merge(order_.begin() + long(first), order_.begin() + long(middle), order_.end(), before);
    if (Filtered()) RebuildShown();
    emit layoutChanged();
}

void LedgerModel::Sort(int column, bool ascending)
{
    if (rows_.empty() || column < 0 || column >= ColumnCount) return;
    auto rowId = [this](int i) {
        const Row& r = rows_[size_t(i)];
        return sources_[r.source].rows->RowId(int(r.record));
    };
    // The engine reads the table by record key; a record appended twice keeps its places.
    auto tableOrder = [&rowId](int a, int b) {
        const qint64 x = rowId(a), y = rowId(b);
        return x != y ? x < y : a < b;
    };
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    if (column == ColNumber) {
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return ascending ? tableOrder(a, b) : tableOrder(b, a); });
    } else {
        const store::CollationKeys& title = KeysOf(ColNameBook);
        const store::CollationKeys& keys = KeysOf(column);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            int c = keys.Compare(a, b);
            if (c != 0) return ascending ? c < 0 : c > 0;
            c = title.Compare(a, b);
            return c != 0 ? c < 0 : tableOrder(a, b);
        });
    }
    beginResetModel();
    order_.swap(order);
    if (Filtered()) RebuildShown();
    endResetModel();
}

void LedgerModel::RebuildShown()
{
    shown_.clear();
    for (int i : order_)
        if (matching_[size_t(i)]) shown_.push_back(i);
}

void LedgerModel::MatchField(size_t first)
{
    // One buffer for every row's text, normalised where it lies: no copy a row.
    QString normal;
    for (size_t i = first; i < rows_.size(); ++i) {
        const QStringView shown = Shown(i, fieldColumn_ - 1);
        if (normal.size() < shown.size()) normal.resize(shown.size());
        char16_t* const begin = reinterpret_cast<char16_t*>(normal.data());
        const QStringView text(begin, find::NormalizeInto(begin, shown) - begin);
        matching_[i] = text == fieldValue_;
    }
}

void LedgerModel::SetFieldFilter(int column, const QString& value)
{
    if (column < ColNameBook || column > ColDateReturn) return;
    fieldColumn_ = column;
    fieldValue_ = find::NormalizeForSearch(value.trimmed());
    filter_ = find::RowFilter();
    MatchField(0);
    beginResetModel();
    RebuildShown();
    endResetModel();
}

void LedgerModel::ForEachLoan(const std::function<void(qint64 id, QStringView book, QStringView writer,
                                                       QStringView borrower)>& visit) const
{
    for (size_t i = 0; i < rows_.size(); ++i) {
        const Row& r = rows_[i];
        visit(sources_[r.source].rows->RowId(int(r.record)), Shown(i, ColNameBook - 1),
              Shown(i, ColNameWriter - 1), Shown(i, ColNameBorrower - 1));
    }
}

void LedgerModel::SetFilter(const QString& typed)
{
    find::RowFilter filter(typed);
    if (fieldColumn_ < 0 && filter.Words() == filter_.Words()) return;
    PrepareSearch();
    // The search texts are read in the order they lie in memory; the shown rows are then
    // picked in list order from one byte a row.
    MatchRows(filter, 0);
    beginResetModel();
    fieldColumn_ = -1;
    fieldValue_.clear();
    filter_ = std::move(filter);
    if (Filtered()) {
        RebuildShown();
    } else {
        shown_ = {};
    }
    endResetModel();
}

int LedgerModel::RowOfId(qint64 id) const
{
    for (int r = 0, n = ShownCount(); r < n; ++r)
        if (IdAt(r) == id) return r;
    return -1;
}

long LedgerModel::IndexAt(int row) const
{
    if (row < 0 || row >= ShownCount()) return -1;
    return Filtered() ? shown_[size_t(row)] : order_[size_t(row)];
}

void LedgerModel::ApplyWarnings(Row& row, QStringView dateLoan, QStringView dateReturn, QStringView timeLoan,
                                const QString& today)
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
    const long i = IndexAt(row);
    if (i < 0) return 0;
    const Row& r = rows_[size_t(i)];
    return sources_[r.source].rows->RowId(int(r.record));
}

QString LedgerModel::CellText(int row, int column) const
{
    const long i = IndexAt(row);
    if (i < 0 || column < 0 || column >= ColumnCount) return {};
    if (column == ColNumber) return QString::number(qint64(row) + 1);
    return Shown(size_t(i), column - 1).toString();
}

std::array<QStringView, ColumnCount - 1> LedgerModel::RowCells(int row) const
{
    std::array<QStringView, ColumnCount - 1> cells;
    const long i = IndexAt(row);
    if (i >= 0)
        for (int c = 0; c < ColumnCount - 1; ++c)
            cells[size_t(c)] = Shown(size_t(i), c);
    return cells;
}

void LedgerModel::PrefetchAhead(int row) const
{
    const int n = ShownCount();
    if (row + 24 < n) __builtin_prefetch(&rows_[size_t(IndexAt(row + 24))]);
    if (row + 16 < n) {
        const Row& r = rows_[size_t(IndexAt(row + 16))];
        sources_[r.source].rows->Prefetch(int(r.record));
    }
    // Where the texts are is known without reading them (trimming them would).
    if (row + 8 < n)
        for (int c = 0; c < ColumnCount - 1; ++c)
            __builtin_prefetch(Stored(size_t(IndexAt(row + 8)), c).data());
}

const LedgerModel::Mark* LedgerModel::MarkOf(int row, int column) const
{
    const long i = IndexAt(row);
    if (i < 0) return nullptr;
    const Row& r = rows_[size_t(i)];
    switch (column) {
    case ColDateLoan:
        return &r.marks[0];
    case ColDateReturn:
        return &r.marks[1];
    case ColTimeLoan:
        return &r.marks[2];
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
