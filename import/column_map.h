// Which field of a record holds which column of a loan, read from the file's header row.
#pragma once

#include <QStringList>

#include <array>

namespace pelorin::importing {

// The columns a loan is stored in, in the list's order.
enum Column { Title, Author, Borrower, LoanDate, ReturnDate, ColumnCount };

// The list's caption of a column ("اسم الكتاب"...), for messages and the preview.
QString ColumnCaption(Column column);

struct ColumnMap {
    bool hasHeader = false; // the first record names the columns and is no loan
    std::array<int, ColumnCount> field = {-1, -1, -1, -1, -1}; // the field of each column; -1 none
};

// Reads the first record as a header when one of its fields names a column: the list's own
// captions, which our export writes, and common names (الكتاب, العنوان, title, book, المؤلف,
// author, ...), compared trimmed, without case and in the finding's spelling of Arabic. A
// duration or number column is known and left out. Without a header nothing is mapped and the
// first record is a loan.
ColumnMap MapColumns(const QStringList& firstRecord);

} // namespace pelorin::importing
