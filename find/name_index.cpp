#include "name_index.h"

#include <algorithm>

#include "arabic_normalize.h"
#include "row_filter.h"

namespace pelorin::find {

namespace {

// Appends the text normalised, its blanks of any kind and line breaks as one space between
// words: a name never spans two lines of the search text, and "طه  حسين" is found by "طه حسين".
void appendSearchForm(QString& out, QStringView text)
{
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char16_t* const begin = reinterpret_cast<char16_t*>(out.data()) + at;
    char16_t* const end = NormalizeInto(begin, text);
    char16_t* w = begin;
    bool blank = false;
    for (const char16_t* r = begin; r != end; ++r) {
        if (QChar::isSpace(*r)) {
            blank = w != begin;
            continue;
        }
        if (blank) *w++ = u' ';
        blank = false;
        *w++ = *r;
    }
    out.resize(at + (w - begin));
}

} // namespace

void NameIndex::Builder::Add(QStringView name, QStringView companion, qint64 when)
{
    name = name.trimmed();
    if (name.isEmpty()) return;
    companion = companion.trimmed();
    Tally& t = tally_[std::u16string_view(name.utf16(), size_t(name.size()))];
    if (t.count++ == 0)
        t.companion = companion;
    else if (!t.mixed && t.companion != companion)
        t.mixed = true;
    t.last = std::max(t.last, when);
}

NameIndex NameIndex::Builder::Finish()
{
    struct Counted {
        QStringView name, companion;
        quint32 count;
        qint64 last;
    };
    std::vector<Counted> names;
    names.reserve(tally_.size());
    qsizetype chars = 0;
    for (const auto& [name, t] : tally_) {
        const QStringView companion = t.mixed ? QStringView() : t.companion;
        names.push_back({QStringView(name.data(), qsizetype(name.size())), companion, t.count, t.last});
        chars += qsizetype(name.size()) + companion.size();
    }
    std::sort(names.begin(), names.end(), [](const Counted& a, const Counted& b) {
        if (a.count != b.count) return a.count > b.count;
        return a.last != b.last ? a.last > b.last : a.name < b.name;
    });

    NameIndex index;
    index.chars_.reserve(chars);
    index.entries_.reserve(names.size());
    index.starts_.reserve(names.size() + 1);
    index.search_.reserve(chars + qsizetype(names.size()));
    for (const Counted& n : names) {
        Entry e;
        e.name = quint32(index.chars_.size());
        e.nameSize = quint32(n.name.size());
        index.chars_.append(n.name);
        if (!n.companion.isEmpty()) {
            e.companion = qint32(index.chars_.size());
            e.companionSize = quint32(n.companion.size());
            index.chars_.append(n.companion);
        }
        index.entries_.push_back(e);
        index.starts_.push_back(quint32(index.search_.size()));
        appendSearchForm(index.search_, n.name);
        index.search_ += QLatin1Char('\n');
    }
    index.starts_.push_back(quint32(index.search_.size()));
    tally_.clear();
    return index;
}

std::vector<Suggestion> NameIndex::Suggest(const QString& typed, int limit) const
{
    std::vector<Suggestion> out;
    QString word;
    appendSearchForm(word, typed);
    if (word.isEmpty() || entries_.empty()) return out;
    // The names lie in the order they are offered: the search stops at the limit, which the
    // letters typed first reach soonest.
    const QStringView all(search_);
    const WordFinder finder(word, all.first(std::min<qsizetype>(all.size(), 1 << 16)));
    for (qsizetype at = finder.IndexIn(all); at >= 0 && int(out.size()) < limit;) {
        const auto next = std::upper_bound(starts_.begin(), starts_.end(), quint32(at));
        const Entry& e = entries_[size_t(next - starts_.begin() - 1)];
        out.push_back({chars_.mid(e.name, e.nameSize),
                       e.companion < 0 ? QString() : chars_.mid(e.companion, e.companionSize)});
        at = finder.IndexIn(all, *next);
    }
    return out;
}

} // namespace pelorin::find
