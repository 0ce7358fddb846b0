#include "import_rows.h"

#include "arabic_normalize.h"

#include <algorithm>

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

} // namespace

namespace {

// The key of a loan whose date is already in its stored form: one text, normalised in place.
QString keyOf(QStringView title, QStringView borrower, QStringView storedDate)
{
    title = title.trimmed();
    borrower = borrower.trimmed();
    QString key(title.size() + borrower.size() + storedDate.size() + 2, Qt::Uninitialized);
    auto* start = reinterpret_cast<char16_t*>(key.data());
    char16_t* at = find::NormalizeInto(start, title);
    *at++ = u'\x1F';
    at = find::NormalizeInto(at, borrower);
    *at++ = u'\x1F';
    at = std::copy(storedDate.utf16(), storedDate.utf16() + storedDate.size(), at);
    key.truncate(at - start);
    return key;
}

} // namespace

QString DuplicateKey(QStringView title, QStringView borrower, QStringView loanDate)
{
    const DateResult date = ReadDate(loanDate, DayMonthOrder::DayFirst);
    return keyOf(title, borrower, date.ok() ? QStringView(date.date) : loanDate.trimmed());
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

    QSet<QString> seen;
    seen.reserve(records.size());
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

        const QString key = keyOf(row.cells[Title], row.cells[Borrower], row.cells[LoanDate]);
        if (existingKeys.contains(key) || seen.contains(key)) {
            rows.duplicates.append(std::move(row));
            continue;
        }
        seen.insert(key);
        rows.accepted.append(std::move(row));
    }
    return rows;
}

} // namespace pelorin::importing
