// Database files for tests, written with the engine directly (the program never creates one).
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

#include "qt_printers.h"

struct sqlite3;

namespace pelorin::test {

inline const QString kTestPassword = QStringLiteral("vqt.lorman.kex");

struct BookRow {
    QString nameBook, nameWriter, nameBorrower, dateLoan, dateReturn, timeLoan;
};

// Creates a database file with both tables and one settings row. An empty key makes an
// unprotected file. Returns false when the file could not be written.
bool CreateDatabase(const QString& path, const QString& key = kTestPassword,
                    const std::vector<BookRow>& rows = {},
                    const QString& libraryName = QStringLiteral("مكتبتي"));
// Runs statements on a file with the key; returns the first column of each row of the last one.
QStringList Query(const QString& path, const QString& sql, const QString& key = kTestPassword);
// Fills many rows quickly, in one transaction.
bool FillBooks(const QString& path, int count, const QString& key = kTestPassword);

// Holds the database's write lock from another connection while it lives, so that every write
// of the program fails as it would with a file locked by another process (works for root too).
class WriteLock {
public:
    explicit WriteLock(const QString& path, const QString& key = kTestPassword);
    ~WriteLock();
    bool held() const { return held_; }

private:
    ::sqlite3* db_ = nullptr;
    bool held_ = false;
};

} // namespace pelorin::test
