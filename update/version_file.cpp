#include "version_file.h"

namespace pelorin::update {

namespace {
constexpr int kVersionLength = 4;
bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}
} // namespace

VersionFile ParseVersionFile(const QByteArray& bytes)
{
    // The version is single-byte text, so its characters are its bytes; the address may be UTF-8.
    VersionFile f;
    int versionEnd = 0;
    while (versionEnd < bytes.size() && versionEnd < kVersionLength && !isLineBreak(bytes[versionEnd]))
        ++versionEnd;
    f.version = QString::fromLatin1(bytes.left(versionEnd));

    int addressStart;
    if (versionEnd < bytes.size() && isLineBreak(bytes[versionEnd])) {
        addressStart = versionEnd + 1;
        if (bytes[versionEnd] == '\r' && addressStart < bytes.size() && bytes[addressStart] == '\n')
            ++addressStart;
    } else {
        // A full-length version is followed by two separator characters, whatever they are.
        addressStart = versionEnd + 2;
    }
    if (addressStart < bytes.size()) f.address = QString::fromUtf8(bytes.mid(addressStart)).trimmed();
    return f;
}

double LeadingNumber(const QString& text)
{
    QString literal;
    bool point = false;
    bool digits = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) continue;
        if (literal.isEmpty() && (c == QLatin1Char('+') || c == QLatin1Char('-'))) {
            literal += c;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            literal += c;
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            literal += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0.0;
    return literal.toDouble();
}

} // namespace pelorin::update
