// The pictures of the help frame: the printed report, the database compaction, the update check
// and the about window. Each opening of a window builds it afresh, so no state of an earlier check
// or scroll is carried over. The report can also be saved as a PDF from the right-click menus.
#include "frm_main.h"

#include <QAction>
#include <QMenu>

#include "compact.h"
#include "frm_about.h"
#include "frm_update.h"
#include "report_loan.h"

namespace pelorin::ledger {

void FrmMain::ImgReport_Click()
{
    // The title is what the box shows now, saved or not; under a filter, the shown loans only.
    LoanSelection shown;
    const bool filtered = reportSelection(shown);
    ShowLoanReport(this, TxtNameLibrary ? TxtNameLibrary->text() : QString(), filtered ? &shown : nullptr);
}

void FrmMain::buildReportCommands()
{
    QAction* save = addCommand(
        QStringLiteral("حفظ التقرير بصيغة PDF…"), QKeySequence(kReportPdfKey), [this] { SaveReportPdf(); },
        kReportPdfArabicKey);
    HelpMenu->addAction(save);
    ListMenu->addAction(save);
}

void FrmMain::SaveReportPdf()
{
    // The same report as the picture prints: the title as the box shows it, the shown loans.
    LoanSelection shown;
    const bool filtered = reportSelection(shown);
    SaveLoanReportPdf(this, TxtNameLibrary ? TxtNameLibrary->text() : QString(), filtered ? &shown : nullptr);
}

void FrmMain::ImgCompact_Click()
{
    // Compaction changes no record, so the list keeps its rows, its sort order and its marked
    // row; they hold copies of the texts, not anything of the closed connection.
    BackupBeforeCompaction();
    store::MData::CompactOpenDatabase();
}

void FrmMain::ImgUpdate_Click()
{
    update::FrmUpdate f(this);
    f.exec();
}

void FrmMain::ImgAbout_Click()
{
    about::FrmAbout f(this);
    f.exec();
}

} // namespace pelorin::ledger
