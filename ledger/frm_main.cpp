#include "frm_main.h"

#include "style.h"
#include "twips.h"

namespace pelorin::ledger {

namespace {
chrome::ChromeLayout mainLayout()
{
    chrome::ChromeLayout l;
    l.clientWidth = 10845;
    l.clientHeight = 6300;
    l.titleRect = QRect(4520, 75, 1995, 255);
    l.title = QStringLiteral("Pelorin");
    l.exitLeft = 10560;
    return l;
}
} // namespace

FrmMain::FrmMain(QWidget* parent) : chrome::FramelessWindow(mainLayout(), parent) { buildControls(); }

FrmMain::~FrmMain() = default;

void FrmMain::buildControls() {}

void FrmMain::Form_Load() {}
void FrmMain::RefreshTimeLoan() {}
void FrmMain::RefreshListview() {}
void FrmMain::lvwRoom_ColumnClick(int) {}
void FrmMain::lvwRoom_ItemClick(int) {}

void FrmMain::ImgExit_Click() { close(); }

} // namespace pelorin::ledger
