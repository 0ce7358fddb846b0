#include "import_rows.h"

#include "arabic_normalize.h"

#include <algorithm>
#include <string>
#include <vector>

namespace pelorin::importing {

namespace {

bool blank(const QStringList& fields)
{
    return std::all_of(fields.begin(), fields.end(), [](const QString& f) { return f.trimmed().isEmpty(); });
}

QString dateReason(Column column, const QString& reason)
{
    return ColumnCaption(column) + QStringLiteral(": ") + reason;
}

// The key of a loan whose date is already in its stored form, normalised into buffer, which it
// reuses: a file of a hundred thousand loans makes no string per key.
QStringView keyOf(std::u16string& buffer, QStringView title, QStringView borrower, QStringView storedDate)
{
    title = title.trimmed();
    borrower = borrower.trimmed();
    buffer.resize(size_t(title.size() + borrower.size() + storedDate.size() + 2));
    char16_t* start = buffer.data();
    char16_t* at = find::NormalizeInto(start, title);
    *at++ = u'\x1F';
    at = find::NormalizeInto(at, borrower);
    *at++ = u'\x1F';
    at = std::copy(storedDate.utf16(), storedDate.utf16() + storedDate.size(), at);
    return QStringView(start, at - start);
}

// Keys held in one block of text and found through an open-addressed table of their hashes,
// rather than one string and one node for each.
class KeySet {
public:
    explicit KeySet(qsizetype expected)
    {
        size_t count = 16;
        while (count < size_t(expected) * 2)
            count *= 2;
        slots_.assign(count, -1);
        mask_ = count - 1;
        spans_.reserve(size_t(expected));
    }
    // Adds the key; false when it is there already.
    bool insert(QStringView key)
    {
        const size_t hash = qHash(key);
        size_t i = hash & mask_;
        for (; slots_[i] >= 0; i = (i + 1) & mask_)
            if (same(slots_[i], hash, key)) return false;
        if (spans_.size() * 2 >= slots_.size()) {
            grow();
            return insert(key);
        }
        slots_[i] = qsizetype(spans_.size());
        spans_.push_back({hash, qsizetype(text_.size()), key.size()});
        text_.append(key.utf16(), size_t(key.size()));
        return true;
    }

private:
    struct Span {
        size_t hash;
        qsizetype start, size;
    };
    bool same(qsizetype k, size_t hash, QStringView key) const
    {
        const Span& s = spans_[size_t(k)];
        return s.hash == hash && QStringView(text_.data() + s.start, s.size) == key;
    }
    void grow()
    {
        slots_.assign(slots_.size() * 2, -1);
        mask_ = slots_.size() - 1;
        for (size_t k = 0; k < spans_.size(); ++k) {
            size_t i = spans_[k].hash & mask_;
            while (slots_[i] >= 0)
                i = (i + 1) & mask_;
            slots_[i] = qsizetype(k);
        }
    }
    std::u16string text_;
    std::vector<Span> spans_;
    std::vector<qsizetype> slots_;
    size_t mask_ = 0;
};

} // namespace

QString DuplicateKey(QStringView title, QStringView borrower, QStringView loanDate)
{
    const DateResult date = ReadDate(loanDate, DayMonthOrder::DayFirst);
    std::u16string buffer;
    return keyOf(buffer, title, borrower, date.ok() ? QStringView(date.date) : loanDate.trimmed()).toString();
}

ImportRows BuildRows(const QList<Record>& records, const ColumnMap& map, const QSet<QString>& existingKeys,
                     const std::atomic<bool>* stop)
{
    ImportRows rows;
    for (Column required : {Title, LoanDate})
        if (map.field[required] < 0) {
            rows.error = QStringLiteral("لم يُعيَّن العمود الذي فيه %1").arg(ColumnCaption(required));
            return rows;
        }
    const int needed = *std::max_element(map.field.begin(), map.field.end()) + 1;
    const qsizetype first = map.hasHeader ? 1 : 0;

    // First pass: the order of day and month that the file's dates show.
    QList<DateCell> dates;
    dates.reserve(2 * records.size());
    for (qsizetype r = first; r < records.size(); ++r)
        for (Column c : {LoanDate, ReturnDate}) {
            const int f = map.field[c];
            if (f >= 0 && f < records[r].fields.size()) dates.append({records[r].line, records[r].fields[f]});
        }
    rows.order = ChooseDayMonthOrder(dates);

    // The ledger's loans and then the file's, each kept once.
    KeySet seen(existingKeys.size() + records.size());
    for (const QString& key : existingKeys)
        seen.insert(key);
    std::u16string buffer;
    rows.accepted.reserve(records.size());
    for (qsizetype r = first; r < records.size(); ++r) {
        const Record& record = records[r];
        if (stop && (r & 1023) == 0 && stop->load(std::memory_order_relaxed)) {
            ImportRows none;
            none.stopped = true;
            return none;
        }
        if (blank(record.fields)) continue;
        if (record.fields.size() < needed) {
            rows.refused.append(
                {record.line,
                 QStringLiteral("عدد الأعمدة %1 أقل من المطلوب (%2)").arg(record.fields.size()).arg(needed)});
            continue;
        }
        ImportRow row{record.line, {}};
        for (int c = 0; c < ColumnCount; ++c)
            if (map.field[size_t(c)] >= 0)
                row.cells[size_t(c)] = record.fields[map.field[size_t(c)]].trimmed();

        if (row.cells[Title].isEmpty()) {
            rows.refused.append({record.line, QStringLiteral("اسم الكتاب فارغ")});
            continue;
        }
        if (row.cells[LoanDate].isEmpty()) {
            rows.refused.append({record.line, QStringLiteral("تاريخ الإعارة فارغ")});
            continue;
        }
        const DateResult loan = ReadDate(row.cells[LoanDate], rows.order.order);
        if (!loan.ok()) {
            rows.refused.append({record.line, dateReason(LoanDate, loan.error)});
            continue;
        }
        const DateResult back = ReadReturnDate(row.cells[ReturnDate], rows.order.order);
        if (!back.ok()) {
            rows.refused.append({record.line, dateReason(ReturnDate, back.error)});
            continue;
        }
        row.cells[LoanDate] = loan.date;
        row.cells[ReturnDate] = back.date;

        if (seen.insert(keyOf(buffer, row.cells[Title], row.cells[Borrower], row.cells[LoanDate])))
            rows.accepted.append(std::move(row));
        else
            rows.duplicates.append(std::move(row));
    }
    return rows;
}

} // namespace pelorin::importing
