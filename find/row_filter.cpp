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
    char16_t* o = begin;
    for (QStringView f : fields) {
        if (o != begin) *o++ = u'\n';
        o = NormalizeInto(o, f);
    }
    out.truncate(o - begin);
    return out;
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

bool RowFilter::Matches(const QString& searchText) const
{
    for (const QString& w : words_)
        if (!searchText.contains(w)) return false;
    return true;
}

} // namespace pelorin::find
