// Loans in from an Access (Jet 4.0) file: its tables and their rows, read by the helper program
// pelorin_access_reader in a child process with limits on its time and memory, so that a file
// that crashes or stalls the reader costs a message, never the program.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

#include "import_file.h"
#include "limited_process.h"

namespace pelorin::importing {

// The reader's path: the program's own folder unless a test set another.
QString& AccessReaderProgram();
// The limits it runs under; tests shorten them.
ProcessLimits& AccessReaderLimits();

// An Access file by its name (.mdb, .accdb) or by the mark its first page begins with.
bool IsAccessFile(const QString& path);

struct AccessTable {
    QString name;
    qint64 rows = 0;
    QStringList columns;
};

struct AccessTables {
    QList<AccessTable> tables;
    QString error; // in Arabic, when the file could not be read or holds no table
    bool stopped = false;
};

AccessTables ListAccessTables(const QString& path, const std::atomic<bool>* stop = nullptr);

// The table the preview reads first: TableBook when the file has it, else the first whose
// column names name a title and a loan date, else the first.
qsizetype FirstLoanTable(const QList<AccessTable>& tables);

// The rows of a table as records, the column names first (line 0), each row after them with
// its number in the table as its line; the map as the names give it. error (in Arabic) when
// the table could not be read; warning when fewer rows could be read than the table counts.
ParsedFile ReadAccessTable(const QString& path, const QString& table,
                           const std::atomic<bool>* stop = nullptr);

// NameLibrary of the first row of the file's TableSetting, trimmed; empty when there is none.
QString AccessLibraryName(const QString& path, const QList<AccessTable>& tables,
                          const std::atomic<bool>* stop = nullptr);

} // namespace pelorin::importing
