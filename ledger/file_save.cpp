#include "file_save.h"

#include <QDir>
#include <QFileInfo>

#include "file_dialog.h"
#include "msgbox.h"
#include "platform.h"
#include "reasons.h"
#include "save_file.h"

namespace pelorin::ledger {

namespace {

constexpr int kRtl = MsgStyle::RightAlign | MsgStyle::RtlReading;

// The folder of the last save in this session: the next one opens there.
QString lastSaveFolder;

} // namespace

QString SuggestedPath(const QString& name)
{
    QString folder = lastSaveFolder;
    if (folder.isEmpty() || !QDir(folder).exists()) folder = DocumentsOrHome();
    return QDir(folder).filePath(
        QStringLiteral("%1 %2").arg(platform().today().toString(u"yyyy-MM-dd"), name));
}

void TellSaveOutcome(const QString& what, const QString& path, const csv::SaveFailure* failure)
{
    if (failure) {
        QString text = QStringLiteral("تعذر حفظ %1 في الملف:\n%2\nولم يتغير أي ملف كان بهذا الاسم.")
                           .arg(what, PathInMessage(path));
        if (!failure->text.isEmpty())
            text += QStringLiteral("\n\n") +
                    store::Explained(store::FileCause(failure->kind, failure->systemError), failure->text);
        chrome::MsgBox(text, MsgStyle::Critical | kRtl, QStringLiteral("خطأ"));
        return;
    }
    lastSaveFolder = QFileInfo(path).absolutePath();
    chrome::MsgBox(QStringLiteral("تم حفظ %1 في الملف:\n%2").arg(what, PathInMessage(path)), kRtl,
                   QStringLiteral("تنبيه"));
}

} // namespace pelorin::ledger
