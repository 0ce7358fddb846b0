// The import preview: how a file's rows will be stored, what is left out and why, and the
// choices that change it (encoding, separator, header row, which column holds which field,
// whether duplicates are added too). Import accepts the window; Cancel, the close image and
// Escape change nothing.
#pragma once

#include <QByteArray>
#include <QSet>

#include <array>
#include <memory>

#include "frameless_window.h"
#include "import_file.h"
#include "import_rows.h"

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

class FrmImport : public chrome::FramelessWindow {
    Q_OBJECT
public:
    // Reads the bytes with the encoding and separator they show; ledgerKeys are the
    // DuplicateKeys of the loans already in the ledger.
    FrmImport(const QString& fileName, QByteArray bytes, QSet<QString> ledgerKeys, QWidget* parent = nullptr);

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

    QLabel* LblFile = nullptr;
    QComboBox* CboEncoding = nullptr;
    QComboBox* CboSeparator = nullptr;
    QCheckBox* ChkHeader = nullptr;
    std::array<QComboBox*, ColumnCount> CboColumn = {};
    QLabel* LblOrder = nullptr;
    QTableWidget* lvwPreview = nullptr;
    QLabel* LblCounts = nullptr;
    QListWidget* lstRefused = nullptr;
    QCheckBox* ChkDuplicates = nullptr;
    QPushButton* CmdImport = nullptr;
    QPushButton* CmdCancel = nullptr;
    QPushButton* CmdCopy = nullptr;

    // How many of the rows to be written the preview shows.
    static constexpr int kPreviewRows = 200;

private:
    void buildControls();
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
    QSet<QString> ledgerKeys_;
    ParsedFile file_;
    ImportRows rows_;
    QString firstError_;
    bool stopped_ = false;
    bool filling_ = false; // controls being set from the file, not by the owner
};

} // namespace pelorin::importing
