// The restore window: the backups newest first with their date and time, number of loans and
// library name as read from each file. A damaged backup is shown as such and cannot be chosen.
// Restore puts the chosen one in the ledger's place (the current ledger is kept as a backup
// first); Cancel, the close image and Escape change nothing.
#pragma once

#include "frameless_window.h"

class QLabel;
class QPushButton;
class QTableView;

namespace pelorin::backup {

class BackupListModel;

class FrmRestore : public chrome::FramelessWindow {
    Q_OBJECT
public:
    explicit FrmRestore(QWidget* parent = nullptr);

    // Reads and checks every backup in the folder and lists them; called before the window shows.
    void LoadBackups();
    void CmdRestore_Click();
    // Marks a row as a click would; a damaged backup's row cannot be marked.
    void MarkRow(int row);
    // True once a backup has taken the ledger's place.
    bool Restored() const { return restored_; }

    QLabel* LblHint = nullptr;
    QLabel* LblEmpty = nullptr;
    QTableView* lvwBackups = nullptr;
    QPushButton* CmdRestore = nullptr;
    QPushButton* CmdCancel = nullptr;
    BackupListModel* model = nullptr;

private:
    // The list row whose backup Restore would put in place; -1 when none (or a damaged one) is marked.
    int chosenRow() const;
    void updateButtons();

    bool restored_ = false;
};

} // namespace pelorin::backup
