#include "engine.h"

#include <QCollator>
#include <QLocale>
#include <QStringView>
#include <QVarLengthArray>

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

// UTF-8 to UTF-16. The engine hands over valid UTF-8; a malformed byte becomes U+FFFD.
void decodeUtf8(const char* s, int n, QVarLengthArray<char16_t, 256>& out)
{
    out.reserve(n);
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    const auto* end = p + n;
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            out.append(char16_t(c));
            ++p;
            continue;
        }
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
        if (extra < 0 || end - p <= extra) {
            out.append(u'\uFFFD');
            ++p;
            continue;
        }
        char32_t cp = c & (0x3F >> extra);
        bool ok = true;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (!ok) {
            out.append(u'\uFFFD');
            ++p;
            continue;
        }
        p += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.append(char16_t(0xD800 + (cp >> 10)));
            out.append(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.append(char16_t(cp));
        }
    }
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
    // Sorting a large list calls this millions of times: decode into stack buffers, not QStrings.
    QVarLengthArray<char16_t, 256> wa, wb;
    decodeUtf8(a, n1, wa);
    decodeUtf8(b, n2, wb);
    const auto* collator = static_cast<const QCollator*>(arg);
    return collator->compare(QStringView(wa.constData(), wa.size()), QStringView(wb.constData(), wb.size()));
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
