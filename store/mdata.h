// The program-wide database state: the connection, the result set, the password, and the
// procedures that open and compact the database file.
#pragma once

#include <QString>

#include <functional>
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

// What a layer above may do when the database cannot be opened, given the message the user
// would see: nothing (the message is shown and the program ends), end the program (it has shown
// its own message), or open the file again (it has put a sound file in place).
enum class OpenFailure { Unhandled, Quit, Reopen };
using OpenFailureHandler = std::function<OpenFailure(const QString& text, int style, const QString& title)>;
// Installs the handler (an empty one removes it) and returns the one it replaces.
OpenFailureHandler SetOpenFailureHandler(OpenFailureHandler handler);

// Replaces Rs with a new, closed result set and returns it.
Recordset& NewRs();

} // namespace MData
} // namespace pelorin::store
