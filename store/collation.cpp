#include "engine.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

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

} // namespace

void RegisterCollation(sqlite3* db)
{
    // The collator behind Qt's QCollator for Arabic (Saudi Arabia), without regard to case:
    // secondary strength keeps letters and accents apart and ignores case.
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("ar_SA", &status);
    if (U_FAILURE(status) || !collator) return; // the engine's own NOCASE stays in force
    ucol_setStrength(collator, UCOL_SECONDARY);
    // The file is UTF-8: registering for UTF-8 replaces the engine's built-in NOCASE on this handle.
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, collator, compareTexts, destroyCollator);
}

} // namespace pelorin::store
