#include "restore_backup.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "backup_check.h"
#include "backup_files.h"
#include "database.h"
#include "file_steps.h"
#include "mdata.h"
#include "platform.h"

namespace pelorin::backup {

namespace {

RestoreHook& hook()
{
    static RestoreHook h;
    return h;
}

void runHook(RestoreStage stage, const QString& temp)
{
    if (hook()) hook()(stage, temp);
}

// A ledger the engine cannot read (damaged, or not the program's) is still the owner's: it is
// kept byte for byte, with the journal of a write it may have been in the middle of.
bool keepBytes(const QString& ledger, Outcome* out, store::Reason* why)
{
    const QString temp = BackupTempPath();
    if (!store::RemoveIfPresent(temp, why) || !store::CopySynced(ledger, temp, why)) {
        store::RemoveIfPresent(temp);
        return false;
    }
    out->path = MoveToFreeName(temp, BackupFolder(), platform().now(), why);
    if (out->path.isEmpty()) {
        store::RemoveIfPresent(temp);
        return false;
    }
    const QString journal = ledger + QStringLiteral("-journal");
    if (QFileInfo::exists(journal)) QFile::rename(journal, out->path + QStringLiteral("-journal"));
    store::SyncFolder(BackupFolder());
    return true;
}

void closeProgramHandles()
{
    if (store::MData::Rs) store::MData::Rs->Close();
    if (store::MData::Conn) store::MData::Conn->Close();
    store::ReleasePooledHandles();
}

} // namespace

bool HasSoundBackup()
{
    Checker checker(store::MData::DbPassword);
    for (const BackupFile& file : ListBackups())
        if (checker.check(file.path).sound) return true;
    return false;
}

QString RestoreTempPath()
{
    return LedgerPath() + QStringLiteral(".restoring");
}

void SetRestoreHook(RestoreHook h)
{
    hook() = std::move(h);
}

Outcome RestoreBackup(const QString& chosen)
{
    Outcome out;
    const QString ledger = LedgerPath();
    const QString temp = RestoreTempPath();
    store::Reason why;
    auto fail = [&](const QString& what) {
        store::RemoveIfPresent(temp);
        out.ok = false;
        out.reason = why.IsEmpty() ? what : what + QLatin1Char('\n') + why.Text();
        return out;
    };

    Checker checker(store::MData::DbPassword);
    checker.adoptLedger();
    const FileCheck wanted = checker.check(chosen);
    if (!wanted.sound) {
        why = store::Reason::Said(wanted.reason);
        return fail(QStringLiteral("النسخة المختارة تالفة ولا تصلح للاستعادة:"));
    }
    // Another program writing to the ledger would go on writing to the file it has open.
    if (platform().fileOpenElsewhere(ledger))
        return fail(QStringLiteral("قاعدة البيانات مفتوحة في برنامج آخر؛ أغلقه ثم أعد المحاولة."));

    struct stat original {};
    const bool hadLedger = ::stat(QFile::encodeName(ledger).constData(), &original) == 0;
    if (hadLedger) {
        const Outcome saved = TakeBackup(false);
        out.path = saved.path;
        if (!saved.ok && !keepBytes(ledger, &out, &why)) {
            why = store::Reason::Said(saved.reason + QLatin1Char('\n') + why.Text());
            return fail(QStringLiteral("تعذر حفظ قاعدة البيانات الحالية نسخةً احتياطية، فلم تتم الاستعادة:"));
        }
    }
    runHook(RestoreStage::Saved, temp);

    const QString cannotRestore = QStringLiteral("تعذرت استعادة النسخة الاحتياطية:");
    if (!store::RemoveIfPresent(temp, &why) || !store::CopySynced(chosen, temp, &why))
        return fail(cannotRestore);
    runHook(RestoreStage::Copied, temp);
    const FileCheck copied = checker.check(temp);
    if (!copied.sound || copied.loans != wanted.loans || copied.settingRows != wanted.settingRows) {
        why = store::Reason::Said(copied.sound ? QStringLiteral("عدد السجلات في النسخة لا يطابق الأصل")
                                               : copied.reason);
        return fail(cannotRestore);
    }
    runHook(RestoreStage::Verified, temp);

    if (hadLedger) store::TakeOwnerAndMode(temp, original);
    closeProgramHandles();
    // A journal left beside the ledger belongs to the old file; on the new one it would undo
    // pages that were never its own.
    const QString journal = ledger + QStringLiteral("-journal");
    if (!store::RemoveIfPresent(journal, &why)) return fail(cannotRestore);
    if (!store::MoveOver(temp, ledger, &why)) return fail(cannotRestore);
    out.ok = true;
    return out;
}

} // namespace pelorin::backup
