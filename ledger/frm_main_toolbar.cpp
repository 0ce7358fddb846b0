// The update check and the about window, opened from the toolbar.
#include "frm_main.h"

namespace pelorin::ledger {

void FrmMain::ImgUpdate_Click() {}
void FrmMain::ImgAbout_Click() {}

} // namespace pelorin::ledger
