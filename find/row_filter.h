// The find bar's filter: the typed text split into words, each of which must occur somewhere in
// a row, in any order. Rows and words alike are compared in their normalised spelling.
#pragma once

#include <QString>
#include <QStringList>

#include <initializer_list>

namespace pelorin::find {

// The text a row is searched in: its fields normalised, one line each, so that a word never
// matches across the end of one field and the start of the next. Built once per row.
QString SearchText(std::initializer_list<QStringView> fields);

class RowFilter {
public:
    RowFilter() = default;
    // The typed text; blanks (of any kind) separate its words.
    explicit RowFilter(const QString& typed);

    // No words: every row is shown.
    bool IsEmpty() const { return words_.isEmpty(); }
    const QStringList& Words() const { return words_; }
    // True when every word occurs in the row's search text.
    bool Matches(const QString& searchText) const;

private:
    QStringList words_;
};

} // namespace pelorin::find
