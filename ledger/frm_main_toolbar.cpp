// The update check and the about window, opened from the toolbar. Each opening builds the
// window afresh, so no state of an earlier check or scroll is carried over.
#include "frm_main.h"

#include "frm_about.h"
#include "frm_update.h"

namespace pelorin::ledger {

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
