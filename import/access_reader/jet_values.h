// The values of an Access (Jet 4) row as the text the import reads: text from its stored
// UCS-2 or compressed form, dates as yyyy/mm/dd, numbers without the locale's formatting. No
// library calls: the bytes are the file's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pelorin::access {

// UTF-8 of a Jet 4 text value: little-endian UCS-2 (with surrogate pairs for characters beyond
// the basic plane), or, after the marker FF FE, the compressed form in which a zero byte
// switches between one byte and two per character. A lone surrogate becomes U+FFFD; NUL and
// the separators of the reader's output are left out.
void AppendJetText(std::string& out, const unsigned char* bytes, std::size_t size);

// yyyy/mm/dd of a Date/Time value: days since 1899/12/30, counting down before it, the time of
// day in the fraction; false for a value outside the years 100 to 9999 (or not a number).
bool AppendJetDate(std::string& out, double days);

// A number as plain digits with a point for decimals, whatever the locale.
void AppendNumber(std::string& out, double value);
void AppendNumber(std::string& out, std::int64_t value);
// A currency value: stored as ten-thousandths.
void AppendMoney(std::string& out, std::int64_t tenThousandths);

// Appends UTF-8 text without NUL and the separators of the reader's output.
void AppendCleanText(std::string& out, const char* text, std::size_t size);

} // namespace pelorin::access
