#include "jet_values.h"

#include <charconv>
#include <cmath>

#include "access_protocol.h"

namespace pelorin::access {

namespace {

void appendCodePoint(std::string& out, std::uint32_t c)
{
    if (c == 0 || c == std::uint32_t(kFieldEnd) || c == std::uint32_t(kRecordEnd)) return;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Joins the UTF-16 units into characters as they come.
struct Utf16 {
    std::string& out;
    std::uint32_t high = 0; // a high surrogate waiting for its pair

    void unit(std::uint32_t u)
    {
        if (u >= 0xDC00 && u <= 0xDFFF && high) {
            appendCodePoint(out, 0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00));
            high = 0;
            return;
        }
        flush();
        if (u >= 0xD800 && u <= 0xDBFF)
            high = u;
        else
            appendCodePoint(out, u >= 0xDC00 && u <= 0xDFFF ? 0xFFFD : u);
    }
    void flush()
    {
        if (high) appendCodePoint(out, 0xFFFD);
        high = 0;
    }
};

} // namespace

void AppendJetText(std::string& out, const unsigned char* b, std::size_t size)
{
    Utf16 text{out};
    if (size >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
        bool narrow = true;
        for (std::size_t i = 2; i < size;) {
            if (b[i] == 0) {
                narrow = !narrow;
                ++i;
            } else if (narrow) {
                text.unit(b[i++]);
            } else if (i + 1 < size) {
                text.unit(b[i] | b[i + 1] << 8);
                i += 2;
            } else {
                break;
            }
        }
    } else {
        for (std::size_t i = 0; i + 1 < size; i += 2)
            text.unit(b[i] | b[i + 1] << 8);
    }
    text.flush();
}

bool AppendJetDate(std::string& out, double days)
{
    // 1899/12/30 is day 0; 9999/12/31 is day 2958465 and 0100/01/01 day -657434.
    if (!std::isfinite(days) || days < -657434.0 || days >= 2958466.0) return false;
    // The whole days count towards zero: -1.25 is the day before 1899/12/30, six in the morning.
    const long long fromEpoch = static_cast<long long>(days) - 25569; // days since 1970/01/01
    // Civil date of a day count (the proleptic Gregorian calendar).
    const long long z = fromEpoch + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2);
    const char text[10] = {char('0' + year / 1000),
                           char('0' + year / 100 % 10),
                           char('0' + year / 10 % 10),
                           char('0' + year % 10),
                           '/',
                           char('0' + month / 10),
                           char('0' + month % 10),
                           '/',
                           char('0' + day / 10),
                           char('0' + day % 10)};
    out.append(text, 10);
    return true;
}

void AppendNumber(std::string& out, double value)
{
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

void AppendNumber(std::string& out, std::int64_t value)
{
    char buffer[24];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

void AppendMoney(std::string& out, std::int64_t v)
{
    const bool negative = v < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(v) : std::uint64_t(v);
    if (negative) out += '-';
    std::string whole = std::to_string(magnitude / 10000);
    out += whole;
    std::uint64_t fraction = magnitude % 10000;
    if (fraction == 0) return;
    char digits[5] = {char('0' + fraction / 1000), char('0' + fraction / 100 % 10),
                      char('0' + fraction / 10 % 10), char('0' + fraction % 10), 0};
    std::size_t n = 4;
    while (digits[n - 1] == '0')
        --n;
    out += '.';
    out.append(digits, n);
}

void AppendCleanText(std::string& out, const char* text, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i)
        if (text[i] != 0 && text[i] != kFieldEnd && text[i] != kRecordEnd) out += text[i];
}

} // namespace pelorin::access
