#include "reasons.h"

#include <QFileDevice>

#include <cerrno>
#include <cstring>

#include <sqlite3.h>

namespace pelorin::store {

namespace {

struct Sentence {
    Cause cause;
    const char16_t* text;
};

// Every cause the owner is told of, in one place.
const Sentence kSentences[] = {
    {Cause::DiskFull, u"القرص ممتلئ، ولا مكان لحفظ الملف."},
    {Cause::ReadOnly, u"الملف أو المجلد للقراءة فقط، فلا يمكن الكتابة فيه."},
    {Cause::Denied, u"لا يملك البرنامج إذناً بالوصول إلى الملف أو المجلد."},
    {Cause::InUse, u"الملف مستخدم في برنامج آخر؛ أغلقه ثم أعد المحاولة."},
    {Cause::Damaged, u"الملف تالف ولا يمكن قراءته."},
    {Cause::NotLedger, u"الملف ليس قاعدة بيانات البرنامج، أو أنه محمي بكلمة مرور أخرى."},
    {Cause::NotFound, u"لم يُعثر على الملف أو المجلد."},
    {Cause::DiskError, u"تعذرت القراءة من القرص أو الكتابة عليه."},
    {Cause::Unknown, u"حدث خطأ غير متوقع."},
};

} // namespace

Cause SystemCause(int systemError)
{
    switch (systemError) {
    case ENOSPC:
    case EDQUOT:
        return Cause::DiskFull;
    case EROFS:
        return Cause::ReadOnly;
    case EACCES:
    case EPERM:
        return Cause::Denied;
    case EBUSY:
    case ETXTBSY:
        return Cause::InUse;
    case ENOENT:
    case ENOTDIR:
        return Cause::NotFound;
    case EIO:
        return Cause::DiskError;
    default:
        return Cause::Unknown;
    }
}

Cause EngineCause(int code, int systemError)
{
    switch (code & 0xff) {
    case SQLITE_FULL:
        return Cause::DiskFull;
    case SQLITE_READONLY:
        return Cause::ReadOnly;
    case SQLITE_PERM:
        return Cause::Denied;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Cause::InUse;
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
        return Cause::Damaged;
    case SQLITE_NOTADB:
        return Cause::NotLedger;
    case SQLITE_CANTOPEN:
        return SystemCause(systemError);
    case SQLITE_IOERR: {
        const Cause c = SystemCause(systemError);
        return c == Cause::Unknown ? Cause::DiskError : c;
    }
    default:
        return Cause::Unknown;
    }
}

Cause FileCause(int fileError, int systemError)
{
    const Cause bySystem = SystemCause(systemError);
    if (bySystem != Cause::Unknown) return bySystem;
    switch (fileError) {
    case QFileDevice::ResourceError: // Qt's kind for a write that found the disk full
        return Cause::DiskFull;
    case QFileDevice::PermissionsError:
        return Cause::Denied;
    default:
        return Cause::Unknown;
    }
}

QString CauseSentence(Cause cause)
{
    for (const Sentence& s : kSentences)
        if (s.cause == cause) return QString::fromUtf16(s.text);
    return {};
}

QString Explained(Cause cause, const QString& original)
{
    if (cause == Cause::None) return original;
    const QString sentence = CauseSentence(cause);
    const QString words = original.trimmed();
    return words.isEmpty() ? sentence : sentence + QStringLiteral(" (") + words + QLatin1Char(')');
}

Reason Reason::Engine(sqlite3* db)
{
    if (!db) return Engine(SQLITE_MISUSE, QString::fromUtf8(sqlite3_errstr(SQLITE_MISUSE)));
    return Engine(sqlite3_errcode(db), QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_system_errno(db));
}

Reason Reason::Engine(int code, const QString& text, int systemError)
{
    // Some of the engine's own functions (SQLCipher's export among them) hand on a failure
    // inside them as a plain error with the inner failure's words; there the code is gone,
    // and the engine's fixed text for a code is all that is left to know it by.
    if ((code & 0xff) == SQLITE_ERROR) {
        for (int inner : {SQLITE_FULL, SQLITE_READONLY, SQLITE_PERM, SQLITE_BUSY, SQLITE_LOCKED,
                          SQLITE_CORRUPT, SQLITE_NOTADB, SQLITE_IOERR, SQLITE_CANTOPEN})
            if (text == QLatin1String(sqlite3_errstr(inner))) return {EngineCause(inner, systemError), text};
    }
    return {EngineCause(code, systemError), text};
}

Reason Reason::System(int systemError)
{
    return {SystemCause(systemError), QString::fromLocal8Bit(std::strerror(systemError))};
}

} // namespace pelorin::store
