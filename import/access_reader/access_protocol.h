// What the Access reader and the program that starts it agree on. The reader writes records in
// UTF-8 on its standard output, each field ended by kFieldEnd and each record by kRecordEnd;
// neither character is passed on from a value, so no value needs quoting:
//
//   pelorin_access_reader FILE          one record per table: its name, its row count and
//                                       its column names
//   pelorin_access_reader FILE TABLE    the column names, then one record per row
//
// Reading a table, its last line on its standard error is "rows READ OF": the rows it read and
// the rows the table says it has. Its exit status says why it failed.
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

// The ASCII unit and record separators: control characters no one types into a ledger.
inline constexpr char kFieldEnd = '\x1F';
inline constexpr char kRecordEnd = '\x1E';

// The longest value read, in characters: as long as the longest field the CSV import reads.
inline constexpr long kMaxValueChars = 1024 * 1024;

inline constexpr char kRowsLine[] = "rows ";

} // namespace pelorin::access
