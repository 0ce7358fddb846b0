// The import preview: how a file's rows will be stored, what is left out and why, and the
// choices that change it (for a text file its encoding, separator and header row, for an Access
// file its table and its library name; which column holds which field; whether duplicates are
// added too). Import accepts the window; Cancel, the close image and Escape change nothing.
#pragma once

#include <QByteArray>
#include <QSet>

#include <array>
#include <memory>

#include "access_file.h"
#include "frameless_window.h"
#include "import_file.h"
#include "import_rows.h"
#include "import_summary.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressDialog;
class QPushButton;
class QTableWidget;

namespace pelorin::importing {

// A progress bar of the import, over parent, with a Cancel button; 0 as maximum for a busy bar.
std::unique_ptr<QProgressDialog> NewProgress(QWidget* parent, const QString& title, const QString& text,
                                             int maximum);

// An Access file for the preview, and the library name the ledger has now: the file's own is
// offered ticked only when the ledger's is still unset.
struct AccessSource {
    QString path;
    QString ledgerLibraryName;
};

class FrmImport : public chrome::FramelessWindow {
    Q_OBJECT
public:
    // Reads the bytes with the encoding and separator they show; ledgerKeys are the
    // DuplicateKeys of the loans already in the ledger.
    FrmImport(const QString& fileName, QByteArray bytes, QSet<QString> ledgerKeys, QWidget* parent = nullptr);
    // Lists the file's tables and reads the one that looks like loans (FirstLoanTable).
    FrmImport(const QString& fileName, const AccessSource& access, QSet<QString> ledgerKeys,
              QWidget* parent = nullptr);

    // Why the file as first read holds no loans at all (empty, binary, an open quote, ...),
    // with its line when known; empty when the preview has something to show.
    QString FileError() const;
    // The owner cancelled the first reading of a large file.
    bool Stopped() const { return stopped_; }
    // The rows Import writes, in the file's order: the new loans, and the duplicates when the
    // owner chose to add them too.
    QList<const ImportRow*> ChosenRows() const;
    // Duplicates that Import leaves out.
    qsizetype LeftOut() const;
    const QList<RefusedRow>& Refused() const { return rows_.refused; }
    // Why not every row of the file could be read; empty when all were.
    const QString& Warning() const { return file_.warning; }
    // What a row's number counts: a line of a text file, a row of a table.
    const QString& RowUnit() const { return access_.path.isEmpty() ? kLineUnit : kRowUnit; }
    // The file's library name when the owner chose to take it; else empty.
    QString ChosenLibraryName() const;

    QLabel* LblFile = nullptr;
    QComboBox* CboEncoding = nullptr;
    QComboBox* CboSeparator = nullptr;
    QComboBox* CboTable = nullptr; // an Access file's tables, in place of encoding and separator
    QCheckBox* ChkHeader = nullptr;
    std::array<QComboBox*, ColumnCount> CboColumn = {};
    QLabel* LblOrder = nullptr;
    QTableWidget* lvwPreview = nullptr;
    QLabel* LblCounts = nullptr;
    QListWidget* lstRefused = nullptr;
    QCheckBox* ChkDuplicates = nullptr;
    QCheckBox* ChkLibraryName = nullptr; // an Access file's own library name
    QPushButton* CmdImport = nullptr;
    QPushButton* CmdCancel = nullptr;
    QPushButton* CmdCopy = nullptr;

    // How many of the rows to be written the preview shows.
    static constexpr int kPreviewRows = 200;

private:
    // What both sources do before reading (the window and its file name) and after it.
    void start(const QString& fileName);
    void finish();
    void buildControls();
    // The rows of the file as read, or none when it could not be read or was stopped.
    void buildFromFile(const std::atomic<bool>* stop);
    // Shows the table choice and the library name in place of the text file's choices.
    void showAccessChoices();
    // Reads the table at index of the Access file's tables, and its rows.
    void readTable(qsizetype index, const std::atomic<bool>* stop);
    // Reads the bytes again in the chosen encoding and separator; the columns as the new
    // header names them.
    void reread();
    // Builds the rows again for the chosen header and columns.
    void rebuild();
    void showFile();
    void showRows();
    void copyReasons();
    ColumnMap chosenMap() const;

    QByteArray bytes_;
    AccessSource access_; // its path is empty for a text file
    QList<AccessTable> tables_;
    qsizetype table_ = -1;
    QString fileLibraryName_;
    QLabel* LblEncoding = nullptr;
    QLabel* LblSeparator = nullptr;
    QLabel* LblTable = nullptr;
    QSet<QString> ledgerKeys_;
    ParsedFile file_;
    ImportRows rows_;
    QString firstError_;
    bool stopped_ = false;
    bool filling_ = false; // controls being set from the file, not by the owner
};

} // namespace pelorin::importing
