#include "row_filter.h"

#include <algorithm>

#include "arabic_normalize.h"

namespace pelorin::find {

QString SearchText(std::initializer_list<QStringView> fields)
{
    qsizetype size = 0;
    for (QStringView f : fields)
        size += f.size() + 1;
    QString out(size, Qt::Uninitialized);
    char16_t* const begin = reinterpret_cast<char16_t*>(out.data());
    out.truncate(SearchTextInto(begin, fields) - begin);
    return out;
}

char16_t* SearchTextInto(char16_t* out, std::initializer_list<QStringView> fields)
{
    char16_t* const begin = out;
    for (QStringView f : fields) {
        if (out != begin) *out++ = u'\n';
        out = NormalizeInto(out, f);
    }
    return out;
}

WordFinder::WordFinder(const QString& word, QStringView sample) : word_(word)
{
    qsizetype fewest = -1;
    for (qsizetype i = 0; i < word_.size(); ++i) {
        const qsizetype n = sample.count(word_.at(i));
        if (fewest < 0 || n < fewest) {
            fewest = n;
            anchor_ = i;
        }
    }
}

qsizetype WordFinder::IndexIn(QStringView text, qsizetype from) const
{
    const qsizetype m = word_.size(), n = text.size();
    if (m == 0) return from <= n ? from : -1;
    const QChar anchor = word_.at(anchor_);
    for (qsizetype at = from + anchor_; at < n;) {
        const qsizetype hit = text.indexOf(anchor, at);
        if (hit < 0) return -1;
        const qsizetype start = hit - anchor_;
        if (start + m > n) return -1;
        if (text.sliced(start, m) == word_) return start;
        at = hit + 1;
    }
    return -1;
}

RowFilter::RowFilter(const QString& typed)
{
    // Normalised first: the invisible marks it drops must not split or make up a word.
    const QString text = NormalizeForSearch(typed);
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool blank = i == text.size() || text.at(i).isSpace();
        if (!blank && start < 0) start = i;
        if (blank && start >= 0) {
            words_ << text.mid(start, i - start);
            start = -1;
        }
    }
    // The longest word first: it rules out most rows. A word found inside a longer one is
    // matched wherever that one is, so it is not looked for again.
    std::stable_sort(words_.begin(), words_.end(),
                     [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QStringList kept;
    for (const QString& w : std::as_const(words_))
        if (std::none_of(kept.cbegin(), kept.cend(), [&w](const QString& k) { return k.contains(w); }))
            kept << w;
    words_ = kept;
}

bool RowFilter::Matches(QStringView searchText) const
{
    for (const QString& w : words_)
        if (!searchText.contains(w)) return false;
    return true;
}

} // namespace pelorin::find
