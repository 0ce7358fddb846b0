// The program-wide database state: the connection, the result set, the password, and the
// procedures that open and compact the database file.
#pragma once

#include <QString>

#include <memory>

namespace pelorin::store {

class Connection;
class Recordset;

namespace MData {

extern QString DbPassword;
extern std::shared_ptr<Connection> Conn;
extern std::shared_ptr<Recordset> Rs;

// The fixed password of the delivered database.
inline const QString kPassword = QStringLiteral("vqt.lorman.kex");

// Folder of the executable followed by "\DataBook.mdb", as the connection text names it.
QString BaseConnectionText();
QString FullConnectionText();
// The database file with forward slashes.
QString DatabasePath();

// Replaces Conn with a freshly opened connection on the database file. Returns only when the
// file is open with the password; otherwise shows the engine's message and ends the program.
void OpenDatabase();

// Replaces Rs with a new, closed result set and returns it.
Recordset& NewRs();

} // namespace MData
} // namespace pelorin::store
