#include "engine.h"

#include <QCollator>
#include <QLocale>
#include <QStringView>

#include <sqlite3.h>

namespace pelorin::store {

namespace {

// Texts made only of digits and slashes (the stored dates, row keys) compare by code the same
// way the collator would order them, so they skip the collator.
bool digitsAndSlashes(const char16_t* s, int n)
{
    for (int i = 0; i < n; ++i)
        if (!((s[i] >= u'0' && s[i] <= u'9') || s[i] == u'/')) return false;
    return true;
}

int compareTexts(void* arg, int bytes1, const void* data1, int bytes2, const void* data2)
{
    const auto* a = static_cast<const char16_t*>(data1);
    const auto* b = static_cast<const char16_t*>(data2);
    const int n1 = bytes1 / 2;
    const int n2 = bytes2 / 2;
    if (digitsAndSlashes(a, n1) && digitsAndSlashes(b, n2)) {
        const int n = std::min(n1, n2);
        for (int i = 0; i < n; ++i)
            if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
        return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
    }
    const auto* collator = static_cast<const QCollator*>(arg);
    return collator->compare(QStringView(a, n1), QStringView(b, n2));
}

void destroyCollator(void* arg) { delete static_cast<QCollator*>(arg); }

} // namespace

void RegisterCollation(sqlite3* db)
{
    auto* collator = new QCollator(QLocale(QLocale::Arabic, QLocale::SaudiArabia));
    collator->setCaseSensitivity(Qt::CaseInsensitive);
    sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF16_ALIGNED, collator, compareTexts, destroyCollator);
}

} // namespace pelorin::store
