// The program's text order outside the engine: sort keys that compare as the engine's NOCASE
// collation compares texts, so that rows already in memory can be sorted as an ORDER BY would
// sort them, computing each text's key once instead of comparing texts at every step.
#pragma once

#include <QStringView>

#include <cstring>
#include <string>
#include <vector>

struct sqlite3;

namespace pelorin::store {

class Connection;

class CollationKeys {
public:
    // False when the collator cannot be had; the engine then orders by its own NOCASE.
    static bool Available();

    int Count() const { return int(starts_.size()); }
    void Reserve(int count, size_t bytes);
    // Adds the key of a text; a null view (a null value) gets the empty key, which sorts before
    // every text, as the engine puts nulls first.
    void Add(QStringView text);

    // Negative, zero or positive, as the engine's comparison of the two texts.
    int Compare(int a, int b) const { return std::strcmp(key(a), key(b)); }

private:
    const char* key(int i) const { return bytes_.data() + starts_[size_t(i)]; }

    std::string bytes_; // the keys, each ending in a zero byte
    std::vector<quint32> starts_;
};

// True when CollationKeys order the loan table's texts exactly as the engine's ORDER BY does on
// this file: every text field of TableBook uses the program's NOCASE, ID is the rowid (the order
// the engine reads the table in) and no index lets the engine read it in another order. A file
// made otherwise is sorted by the engine.
bool SortsLikeTheEngine(const Connection& connection);
bool SortsLikeTheEngine(sqlite3* db);

} // namespace pelorin::store
