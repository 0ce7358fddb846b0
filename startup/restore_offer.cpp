#include "restore_offer.h"

#include "frm_restore.h"
#include "platform.h"
#include "restore_backup.h"

namespace pelorin::startup {

using store::MData::OpenFailure;

OpenFailure OfferRestore(const QString& text, int style, const QString& title)
{
    if (!backup::HasSoundBackup()) return OpenFailure::Unhandled;
    const QString offer =
        text + QStringLiteral("\n\nتوجد نسخ احتياطية سليمة من قاعدة البيانات. هل تريد فتح نافذة "
                              "استعادة نسخة احتياطية بدلاً من إنهاء البرنامج؟");
    if (platform().msgBox(offer, (style & ~0x7) | MsgStyle::YesNo, title) != MsgResult::Yes)
        return OpenFailure::Quit;
    backup::FrmRestore window;
    window.LoadBackups();
    window.exec();
    return window.Restored() ? OpenFailure::Reopen : OpenFailure::Quit;
}

} // namespace pelorin::startup
