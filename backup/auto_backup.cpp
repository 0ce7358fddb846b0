#include "auto_backup.h"

#include <QFileInfo>

#include "backup_files.h"
#include "platform.h"
#include "take_backup.h"

namespace pelorin::backup {

QString AutoBackup::beforeChange()
{
    const QDate today = platform().today();
    if (doneOn_ == today) return {};
    // An earlier start today may have taken it already.
    for (const BackupFile& b : ListBackups())
        if (b.at.date() == today) {
            doneOn_ = today;
            return {};
        }
    return take(QStringLiteral("وسيُحفظ التغيير على أي حال."));
}

QString AutoBackup::beforeCompaction()
{
    // Without a ledger there is nothing to keep; the compaction says it is missing.
    if (!QFileInfo::exists(LedgerPath())) return {};
    return take(QStringLiteral("وستتم عملية الضغط على أي حال."));
}

QString AutoBackup::beforeImport()
{
    return take(QStringLiteral("وسيتم الاستيراد على أي حال."));
}

QString AutoBackup::take(const QString& afterwards)
{
    const Outcome o = TakeBackup();
    if (o.ok) {
        doneOn_ = platform().today();
        return {};
    }
    if (warned_) return {};
    warned_ = true;
    return QStringLiteral("تعذر حفظ نسخة احتياطية من قاعدة البيانات، ") + afterwards +
           QStringLiteral("\nلن يتكرر هذا التنبيه حتى يُعاد تشغيل البرنامج.\n\n") + o.reason;
}

} // namespace pelorin::backup
