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
// The same written at out, which has room for the fields' sizes and one more character each;
// the end of what was written. For keeping the texts of many rows in one buffer.
char16_t* SearchTextInto(char16_t* out, std::initializer_list<QStringView> fields);

// Finds one word in long texts quickly: it looks for the word's rarest character with the
// processor's vector instructions and compares the rest only where that one stands. Scanning
// the texts of a hundred thousand rows at every keystroke is where finding spends its time.
class WordFinder {
public:
    // The sample (a piece of the texts to be searched) tells which character is rarest.
    WordFinder(const QString& word, QStringView sample);
    // The first place of the word at or after from, or -1.
    qsizetype IndexIn(QStringView text, qsizetype from = 0) const;

private:
    QString word_;
    qsizetype anchor_ = 0; // the character looked for
};

class RowFilter {
public:
    RowFilter() = default;
    // The typed text; blanks (of any kind) separate its words.
    explicit RowFilter(const QString& typed);

    // No words: every row is shown.
    bool IsEmpty() const { return words_.isEmpty(); }
    const QStringList& Words() const { return words_; }
    // True when every word occurs in the row's search text.
    bool Matches(QStringView searchText) const;

private:
    QStringList words_;
};

} // namespace pelorin::find
