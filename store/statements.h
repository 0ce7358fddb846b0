// The statement texts the program runs against the loan database.
#pragma once

#include <QString>

namespace pelorin::store::sql {

inline const QString kListDefault =
    QStringLiteral("SELECT * FROM TableBook order by TableBook.NameBook Asc,TableBook.NameBorrower asc");
inline const QString kAllBooks = QStringLiteral("SELECT * FROM TableBook");
inline const QString kSetting = QStringLiteral("SELECT * FROM TableSetting");
inline const QString kReport = QStringLiteral("SELECT * FROM TableBook order by TableBook.NameBook Asc");
// Edit and delete find their record by the key the list row keeps, never by its texts.
inline const QString kBookById = QStringLiteral("SELECT * FROM TableBook WHERE ID = ?");

// The list sorted by a clicked column. column is one of the list's keys: NameBook, NameWriter,
// NameBorrower, DateLoan, DateReturn, TimeLoan or ID; anything else sorts by ID.
QString SortStatement(const QString& column, bool ascending);

} // namespace pelorin::store::sql
