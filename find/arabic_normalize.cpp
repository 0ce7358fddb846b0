#include "arabic_normalize.h"

#include <array>

namespace pelorin::find {

namespace {

constexpr char16_t kDrop = 0xFFFF;

// What each character of the Arabic block becomes: itself, another character, or nothing.
constexpr std::array<char16_t, 256> arabicBlock()
{
    std::array<char16_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = char16_t(0x0600 + i);
    for (int c = 0x064B; c <= 0x065F; ++c) // tanween, short vowels, shadda, sukun and kin
        t[size_t(c - 0x0600)] = kDrop;
    t[0x70] = kDrop;  // superscript alef
    t[0x40] = kDrop;  // tatweel
    t[0x1C] = kDrop;  // Arabic letter mark
    t[0x23] = 0x0627; // أ
    t[0x25] = 0x0627; // إ
    t[0x22] = 0x0627; // آ
    t[0x71] = 0x0627; // ٱ
    t[0x29] = 0x0647; // ة
    t[0x49] = 0x064A; // ى
    t[0x24] = 0x0648; // ؤ
    t[0x26] = 0x064A; // ئ
    for (int d = 0; d < 10; ++d) {
        t[size_t(0x60 + d)] = char16_t('0' + d);
        t[size_t(0xF0 + d)] = char16_t('0' + d);
    }
    return t;
}
constexpr std::array<char16_t, 256> kArabic = arabicBlock();

// Zero-width spaces and joiners, direction marks and embeddings, the byte-order mark: a name
// pasted from elsewhere often carries them unseen.
bool invisible(char16_t c)
{
    return (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == 0xFEFF;
}

char16_t mapped(char16_t c)
{
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
    if (c >= 0x0600 && c <= 0x06FF) return kArabic[size_t(c - 0x0600)];
    if (invisible(c)) return kDrop;
    if (QChar::isSurrogate(c)) return c;
    return QChar::toCaseFolded(c);
}

} // namespace

QString NormalizeForSearch(const QString& text)
{
    const qsizetype n = text.size();
    const char16_t* in = reinterpret_cast<const char16_t*>(text.utf16());
    qsizetype i = 0;
    while (i < n && mapped(in[i]) == in[i])
        ++i;
    if (i == n) return text;

    QString out(n, Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    std::copy(in, in + i, o);
    qsizetype len = i;
    for (; i < n; ++i) {
        const char16_t c = mapped(in[i]);
        if (c != kDrop) o[len++] = c;
    }
    out.truncate(len);
    return out;
}

char16_t* NormalizeInto(char16_t* out, QStringView text)
{
    for (const QChar ch : text) {
        const char16_t c = mapped(ch.unicode());
        if (c != kDrop) *out++ = c;
    }
    return out;
}

} // namespace pelorin::find
