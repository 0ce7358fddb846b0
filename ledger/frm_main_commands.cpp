// Add, edit, delete and clear loans, and the date buttons.
#include "frm_main.h"

namespace pelorin::ledger {

void FrmMain::CmdAdd_Click() {}
void FrmMain::CmdEdit_Click() {}
void FrmMain::CmdDelete_Click() {}
void FrmMain::CmdClear_Click() {}
void FrmMain::ImgDateLoan_Click() {}
void FrmMain::ImgDateReturn_Click() {}

} // namespace pelorin::ledger
