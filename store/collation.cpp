#include "engine.h"

#include <QCollator>
#include <QLocale>
#include <QStringView>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace pelorin::store {

namespace {

// Texts made only of digits and slashes (the stored dates, row keys) compare by code the same
// way the collator would order them, so they skip the collator.
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
    const auto* collator = static_cast<const QCollator*>(arg);
    return collator->compare(QString::fromUtf8(a, n1), QString::fromUtf8(b, n2));
}

void destroyCollator(void* arg) { delete static_cast<QCollator*>(arg); }

} // namespace

void RegisterCollation(sqlite3* db)
{
    auto* collator = new QCollator(QLocale(QLocale::Arabic, QLocale::SaudiArabia));
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    // The file is UTF-8: registering for UTF-8 replaces the engine's built-in NOCASE on this handle.
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, collator, compareTexts, destroyCollator);
}

} // namespace pelorin::store
