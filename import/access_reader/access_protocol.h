// What the Access reader and the program that starts it agree on. The reader writes CSV in
// UTF-8 on its standard output:
//
//   pelorin_access_reader FILE          one record per table: its name, its row count and
//                                       its column names
//   pelorin_access_reader FILE TABLE    the column names, then one record per row
//
// and, reading a table, a last line on its standard error: "rows READ OF", the rows it read
// and the rows the table says it has. Its exit status says why it failed.
#pragma once

namespace pelorin::access {

enum ExitCode {
    kRead = 0,
    kUsage = 2,
    kNotAccess = 3,   // not a database file it can open, or its catalog cannot be read
    kNoTable = 4,     // no table of that name
    kOldVersion = 5,  // Access 97 (Jet 3), whose texts are in a code page of their own
    kTooLong = 6,     // a value longer than kMaxValueChars
    kWriteFailed = 7, // the output could not be written
};

// The longest value read, in characters: as long as the longest field the CSV import reads.
inline constexpr long kMaxValueChars = 1024 * 1024;

inline constexpr char kRowsLine[] = "rows ";

} // namespace pelorin::access
