// The library name, the printed report and the database compaction.
#include "frm_main.h"

namespace pelorin::ledger {

void FrmMain::LoadLibraryName() {}
void FrmMain::CmdSave_Click() {}
void FrmMain::ImgReport_Click() {}
void FrmMain::ImgCompact_Click() {}

} // namespace pelorin::ledger
