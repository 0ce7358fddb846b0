// The ledger window: the loan entry, the library name, the toolbar and the list of loans.
#pragma once

#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <memory>
#include <vector>

#include "frameless_window.h"

class QGroupBox;
class QAction;
class QKeyEvent;
class QKeySequence;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;

namespace pelorin::backup {
class AutoBackup;
}
namespace pelorin::chrome {
class ImageButton;
}
namespace pelorin::store {
class Recordset;
}

namespace pelorin::ledger {

class FindBar;
class LedgerModel;
class NameCompleter;
class Opening;
struct LoanSelection;

// Tells the owner that the database could not be read, with the engine's reason under it.
void ShowReadError();
// The same for a write.
void ShowWriteError();

class FrmMain : public chrome::FramelessWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget* parent = nullptr);
    ~FrmMain() override;

    // Runs the load sequence: keyboard, list set-up, open, durations, list, library name.
    void Form_Load();
    // Whether the last load took the rows the start read on a worker thread.
    bool LoadedAhead() const { return loadedAhead_; }
    // Sets the list's look and its seven columns.
    void SetListViewStyle();
    void RefreshTimeLoan();
    void RefreshListview();
    void LoadLibraryName();

    // Handlers
    void lvwRoom_ColumnClick(int column);
    void lvwRoom_ItemClick(int row);
    void CmdAdd_Click();
    void CmdEdit_Click();
    void CmdDelete_Click();
    void CmdClear_Click();
    void CmdSave_Click();
    void ImgDateLoan_Click();
    void ImgDateReturn_Click();
    void ImgReport_Click();
    // Saves the report of the loans the list shows as a PDF (Ctrl+Shift+S).
    void SaveReportPdf();
    void ImgCompact_Click();
    void ImgUpdate_Click();
    void ImgAbout_Click();

    // A start whose read of the ledger would fill the list more than slowStartMs after the start
    // (judged once the read has gone on for judgeAfterMs) shows the window at once, with the
    // read's progress.
    struct LoadPace {
        double slowStartMs = 1000;
        qint64 judgeAfterMs = 100;
    };
    static LoadPace Pace;

    // The most characters that can be typed into the library name box.
    static constexpr int kNameLibraryLength = 40;

    // Controls, public so that tests can drive them.
    QLineEdit* TxtNameLibrary = nullptr;
    QPushButton* CmdSave = nullptr;
    QGroupBox* FrameHelp = nullptr;
    chrome::ImageButton* ImgAbout = nullptr;
    chrome::ImageButton* ImgReport = nullptr;
    chrome::ImageButton* ImgUpdate = nullptr;
    chrome::ImageButton* ImgCompact = nullptr;
    QGroupBox* FrameEnterData = nullptr;
    QLabel* Lbl[7] = {};
    QLineEdit* TxtNameBook = nullptr;
    QLineEdit* TxtNameWriter = nullptr;
    QLineEdit* TxtNameBorrower = nullptr;
    QLabel* LblDateLoan = nullptr;
    QLabel* LblDateReturn = nullptr;
    chrome::ImageButton* ImgDateLoan = nullptr;
    chrome::ImageButton* ImgDateReturn = nullptr;
    QPushButton* CmdClear = nullptr;
    QPushButton* CmdAdd = nullptr;
    QPushButton* CmdEdit = nullptr;
    QPushButton* CmdDelete = nullptr;
    QTableView* lvwRoom = nullptr;
    LedgerModel* model = nullptr;
    // Right-click menus of the help frame and of the list: the commands beyond the toolbar.
    QMenu* HelpMenu = nullptr;
    QMenu* ListMenu = nullptr;

    // Find bar and export (frm_main_find.cpp): Ctrl+F opens the bar, Escape closes it and shows
    // every loan again; Ctrl+E saves the list as it stands to a CSV file.
    void ShowFindBar();
    void CloseFindBar();
    void TxtFind_Change(const QString& text);
    void ExportList();
    FindBar* findBar = nullptr;

    // Import (frm_main_import.cpp): Ctrl+I brings loans in from a spreadsheet file, through a
    // preview, a backup and one transaction.
    void ImportLoans();

    // Backups (frm_main_backup.cpp): Ctrl+B backs the ledger up at once and tells the owner how
    // it went; Ctrl+R opens the restore window, after which this window loads the ledger afresh.
    static void BackupNow();
    void RestoreFromBackup();
    // The backups this window's changes take by themselves.
    std::unique_ptr<backup::AutoBackup> autoBackup;

    // The everyday desk (frm_main_desk.cpp). The three name boxes offer the names the ledger
    // holds; a title taken from its list brings the one author it was always lent with. The
    // names are gathered again once a filling of the list is over (at a hundred thousand loans
    // that takes a moment the owner should not wait for), or at the next keystroke in a box if
    // that comes first. On the marked row: Ctrl+D records the book returned
    // today; Ctrl+L lends the same book again (the entry filled, nothing saved until Add);
    // Ctrl+G and Ctrl+H narrow the list to that borrower's or that book's loans.
    void GatherNames();
    void NamesChanged();
    void ReturnToday();
    void LendAgain();
    void ShowLoansOf(int column);
    NameCompleter* BookNames = nullptr;
    NameCompleter* WriterNames = nullptr;
    NameCompleter* BorrowerNames = nullptr;
    QAction* ActReturnToday = nullptr;
    QAction* ActLendAgain = nullptr;
    QAction* ActBorrowerLoans = nullptr;
    QAction* ActBookLoans = nullptr;

    // The record key of the row last clicked (0: none); Edit and Delete act on it.
    qint64 SelectedId = 0;
    // The list row last clicked, re-selected after an edit.
    int SelectedRow = -1;

    // The column key the list was last sorted by ("ID" for the number column) and the
    // direction, " ASC " or " DESC "; both empty until the first header click.
    QString SortColumn;
    QString SortOrder;

protected:
    void ImgExit_Click() override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildEntry();
    void buildToolbar();
    void buildList();
    void buildMenus();
    void buildAccessibility();
    void buildBackupCommands();
    void buildDesk();
    // Shows the row commands that fit the cell the list's menu opens on.
    void fitRowCommands();
    // The row the list shows marked, -1 (with a message) when there is none.
    int markedRow();
    // The day's first change and every compaction are backed up first; each shows the owner the
    // warning it calls for.
    void BackupBeforeChange();
    void BackupBeforeCompaction();
    void BackupBeforeImport();
    // A command of the right-click menus: its shortcut (Ctrl and a Latin letter, shown in the menu)
    // works anywhere in the window, and so does Ctrl with arabicKey, the Arabic letter of the same
    // key on the Arabic layout.
    QAction* addCommand(const QString& text, const QKeySequence& shortcut, std::function<void()> run,
                        char16_t arabicKey = 0);
    // Appends the rows of the open Rs to the list, in the list's own order or as they stand.
    void fillList(bool listOrder);
    // Widens the number column when the row numbers would not fit.
    void FitNumberColumn();
    // The load from the rows read on a worker thread (frm_main_opening.cpp): the rows into the
    // list, in its order (null when there are none to be had, the list then empty); then, once
    // the handle is open, the durations' outcome (false when the rows are not of the open file).
    std::shared_ptr<Opening> TakeOpenedRows();
    bool UseOpenedRows(const Opening& opening);
    // A read too long for a blink: the window at once, with the library name and the read's
    // progress in place of the list, and nothing that touches the ledger until it is loaded.
    void ShowLoadProgress(const QString& libraryName);
    void EndLoadProgress();
    QProgressBar* loadProgress_ = nullptr;
    bool loadedAhead_ = false;
    std::vector<QAction*> heldActions_;
    // Lets the library name box hold a name of this length, never less than the typing limit.
    void fitLibraryNameLimit(int length);
    void buildFindCommands();
    void buildImportCommand();
    void buildReportCommands();
    // Marks the clicked record where the list now shows it, if it does.
    void markSelectedRecord();
    void showFindCount();
    // Under a filter, the loans the report is limited to; false when the list shows them all.
    bool reportSelection(LoanSelection& out) const;
    // The rows the duration pass read, which the list is filled from at start-up.
    std::weak_ptr<store::Recordset> passRows_;
    // The durations of today could not be saved: the list works them out in memory.
    bool durationsUnsaved_ = false;
    // The file's loans sort in memory exactly as the engine sorts them.
    bool sortInMemory_ = false;
    // The list changed since the names were last gathered.
    bool namesStale_ = false;
};

} // namespace pelorin::ledger
