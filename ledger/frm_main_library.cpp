// The library name, the printed report and the database compaction.
#include "frm_main.h"

#include "compact.h"
#include "report_loan.h"

namespace pelorin::ledger {

void FrmMain::LoadLibraryName() {}
void FrmMain::CmdSave_Click() {}
void FrmMain::ImgReport_Click()
{
    // The title is what the box shows now, saved or not.
    ShowLoanReport(this, TxtNameLibrary ? TxtNameLibrary->text() : QString());
}

void FrmMain::ImgCompact_Click()
{
    store::MData::CompactOpenDatabase();
    RefreshListview();
}

} // namespace pelorin::ledger
