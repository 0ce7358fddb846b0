#include "collation.h"

#include "database.h"
#include "engine.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace pelorin::store {

namespace {

// Texts made only of digits and slashes (the stored dates, row keys) compare by code the same
// way the collator orders them, so they skip it.
bool digitsAndSlashes(const char* s, int n)
{
    for (int i = 0; i < n; ++i)
        if (!((s[i] >= '0' && s[i] <= '9') || s[i] == '/')) return false;
    return true;
}

int compareTexts(void* arg, int n1, const void* data1, int n2, const void* data2)
{
    const auto* a = static_cast<const char*>(data1);
    const auto* b = static_cast<const char*>(data2);
    if (digitsAndSlashes(a, n1) && digitsAndSlashes(b, n2)) {
        const int c = std::memcmp(a, b, size_t(std::min(n1, n2)));
        if (c != 0) return c < 0 ? -1 : 1;
        return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
    }
    // The collator reads the engine's UTF-8 as it is: sorting a large list calls this millions
    // of times, and converting both texts first would double its cost.
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(static_cast<UCollator*>(arg), a, n1, b, n2, &status);
    if (U_FAILURE(status)) {
        const int c = std::memcmp(a, b, size_t(std::min(n1, n2)));
        return c != 0 ? c : n1 - n2;
    }
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

void destroyCollator(void* arg)
{
    ucol_close(static_cast<UCollator*>(arg));
}

// The collator behind Qt's QCollator for Arabic (Saudi Arabia), without regard to case:
// secondary strength keeps letters and accents apart and ignores case. Null when ICU has none.
UCollator* openCollator()
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("ar_SA", &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return nullptr;
    }
    ucol_setStrength(collator, UCOL_SECONDARY);
    return collator;
}

// The collator that makes sort keys, opened once.
UCollator* keyCollator()
{
    static UCollator* const collator = openCollator();
    return collator;
}

bool textAffinity(const char* declaredType)
{
    const QByteArray type = QByteArray(declaredType ? declaredType : "").toUpper();
    return !type.contains("INT") && (type.contains("CHAR") || type.contains("CLOB") || type.contains("TEXT"));
}

} // namespace

void RegisterCollation(sqlite3* db)
{
    UCollator* collator = openCollator();
    if (!collator) return; // the engine's own NOCASE stays in force
    // The file is UTF-8: registering for UTF-8 replaces the engine's built-in NOCASE on this handle.
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, collator, compareTexts, destroyCollator);
}

bool CollationKeys::Available()
{
    return keyCollator() != nullptr;
}

void CollationKeys::Reserve(int count, size_t bytes)
{
    starts_.reserve(size_t(count));
    bytes_.reserve(bytes);
}

void CollationKeys::Add(QStringView text)
{
    const size_t start = bytes_.size();
    starts_.push_back(quint32(start));
    if (text.isNull() || !keyCollator()) {
        bytes_.push_back('\0');
        return;
    }
    const auto* chars = reinterpret_cast<const UChar*>(text.utf16());
    // Most keys fit in what is left of the buffer; a longer one is asked for again with room.
    size_t room = std::max<size_t>(64, size_t(text.size()) * 4 + 16);
    bytes_.resize(start + room);
    int32_t length = ucol_getSortKey(keyCollator(), chars, int32_t(text.size()),
                                     reinterpret_cast<uint8_t*>(bytes_.data() + start), int32_t(room));
    if (size_t(length) > room) {
        bytes_.resize(start + size_t(length));
        length = ucol_getSortKey(keyCollator(), chars, int32_t(text.size()),
                                 reinterpret_cast<uint8_t*>(bytes_.data() + start), length);
    }
    // The length counts the key's closing zero byte; none at all is a failure, read as null.
    if (length <= 0) {
        bytes_.resize(start);
        bytes_.push_back('\0');
        return;
    }
    bytes_.resize(start + size_t(length));
}

bool SortsLikeTheEngine(const Connection& connection)
{
    return SortsLikeTheEngine(connection.Handle());
}

bool SortsLikeTheEngine(sqlite3* db)
{
    if (!db || !CollationKeys::Available()) return false;
    const char* type = nullptr;
    const char* collation = nullptr;
    int notNull = 0, primaryKey = 0, autoIncrement = 0;
    for (const char* field :
         {"NameBook", "NameWriter", "NameBorrower", "DateLoan", "DateReturn", "TimeLoan"}) {
        if (sqlite3_table_column_metadata(db, "main", "TableBook", field, &type, &collation, &notNull,
                                          &primaryKey, &autoIncrement) != SQLITE_OK ||
            !collation || sqlite3_stricmp(collation, "NOCASE") != 0 || !textAffinity(type))
            return false;
    }
    // ID is the rowid only as the one key field, declared INTEGER.
    if (sqlite3_table_column_metadata(db, "main", "TableBook", "ID", &type, &collation, &notNull, &primaryKey,
                                      &autoIncrement) != SQLITE_OK ||
        !primaryKey || !type || sqlite3_stricmp(type, "INTEGER") != 0)
        return false;
    sqlite3_stmt* st = nullptr;
    const char* const plain =
        "SELECT (SELECT count(*) FROM pragma_table_info('TableBook') WHERE pk > 0) = 1"
        " AND NOT EXISTS (SELECT 1 FROM sqlite_master WHERE type = 'index' AND tbl_name = 'TableBook')";
    bool ok = sqlite3_prepare_v2(db, plain, -1, &st, nullptr) == SQLITE_OK &&
              sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int(st, 0) == 1;
    sqlite3_finalize(st);
    return ok;
}

} // namespace pelorin::store
