// The names the ledger already holds in one of its fields (titles, authors or borrowers), for
// offering them while the owner types: each distinct name once, the most used first, found by
// any part of it in the find bar's spelling (a typed "احم" finds "أحمد").
#pragma once

#include <QString>
#include <QStringView>

#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelorin::find {

struct Suggestion {
    QString name;
    // The one value that always came with this name in another field (the author of a title),
    // or empty when it came with several or none.
    QString companion;
};

class NameIndex {
public:
    // Counts the names of the loans, one Add a loan; among names used as often, the one whose
    // last loan came later (a greater when) is offered first. The texts added must stay valid
    // until Finish, which copies what it keeps; blanks around them are left out.
    class Builder {
    public:
        explicit Builder(size_t loans = 0) { tally_.reserve(loans); }
        void Add(QStringView name, QStringView companion, qint64 when);
        NameIndex Finish();

    private:
        struct Tally {
            quint32 count = 0;
            bool mixed = false;
            qint64 last = 0;
            QStringView companion;
        };
        std::unordered_map<std::u16string_view, Tally> tally_;
    };

    // The names holding the typed text (blanks around it left out), at most limit, in the order
    // they are offered.
    std::vector<Suggestion> Suggest(const QString& typed, int limit = 10) const;
    int Count() const { return int(entries_.size()); }

private:
    struct Entry {
        quint32 name = 0, nameSize = 0; // in chars_
        qint32 companion = -1;          // in chars_; -1: none
        quint32 companionSize = 0;
    };
    QString chars_;               // the names and companions as stored, one after another
    std::vector<Entry> entries_;  // in the order names are offered
    QString search_;              // each name normalised on a line of its own, in that order
    std::vector<quint32> starts_; // where each name's line begins in search_
};

} // namespace pelorin::find
