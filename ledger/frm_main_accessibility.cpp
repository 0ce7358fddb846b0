// What a screen reader reads of the ledger window, and the keyboard's way to the pictures.
// Nothing here changes how the window looks.
#include "frm_main.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTableView>

#include "image_button.h"
#include "pressable.h"

namespace pelorin::ledger {

void FrmMain::buildAccessibility()
{
    // Each box is read by its own caption, not by the frame around it.
    const struct {
        QLabel* caption;
        QLineEdit* box;
        const char16_t* name;
    } boxes[] = {{Lbl[0], TxtNameBook, u"اسم الكتاب"},
                 {Lbl[1], TxtNameWriter, u"اسم المؤلف"},
                 {Lbl[2], TxtNameBorrower, u"اسم المستعير"}};
    for (const auto& b : boxes) {
        b.caption->setBuddy(b.box);
        b.box->setAccessibleName(QString::fromUtf16(b.name));
    }
    TxtNameLibrary->setAccessibleName(QStringLiteral("اسم المكتبة"));
    TxtNameLibrary->setAccessibleDescription(TxtNameLibrary->toolTip());
    chrome::MarkCaptionedValue(LblDateLoan, QStringLiteral("تاريخ الإعارة"));
    chrome::MarkCaptionedValue(LblDateReturn, QStringLiteral("تاريخ الرد"));
    FrameEnterData->setAccessibleName(QStringLiteral("إدخال البيانات"));
    FrameHelp->setAccessibleName(QStringLiteral("مساعدة"));
    lvwRoom->setAccessibleName(QStringLiteral("الكتب المُعارة"));
    // Tab leaves the list for the next control; the arrow keys move within it.
    lvwRoom->setTabKeyNavigation(false);

    // The pictures come after the controls that were always reachable, in reading order: the two
    // date pictures of the entry, the help pictures from right to left, and the close image last.
    QWidget* order[] = {lvwRoom,   ImgDateLoan, ImgDateReturn, ImgCompact,
                        ImgUpdate, ImgReport,   ImgAbout,      ImgExit()};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

} // namespace pelorin::ledger
