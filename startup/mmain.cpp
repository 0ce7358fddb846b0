#include "mmain.h"

#include "frm_main.h"
#include "mdata.h"

namespace pelorin::startup::MMain {

void Main()
{
    store::MData::DbPassword = store::MData::kPassword;
    auto* w = new ledger::FrmMain;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    w->Form_Load();
}

} // namespace pelorin::startup::MMain
