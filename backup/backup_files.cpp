#include "backup_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

#include "file_steps.h"
#include "mdata.h"
#include "platform.h"

namespace pelorin::backup {

QString LedgerPath()
{
    const QString path = store::MData::DatabasePath();
    const QFileInfo info(path);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : QDir::cleanPath(path);
}

QString BackupFolder()
{
    return platform().appFolder() + QStringLiteral("/Backups");
}

bool EnsureBackupFolder(QString* why)
{
    const QString folder = BackupFolder();
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0) return true;
    // Taken before the look at the folder, which sets errno of its own.
    const store::Reason failed = store::SystemError();
    if (QFileInfo(folder).isDir()) return true;
    if (why) *why = QStringLiteral("تعذر إنشاء مجلد النسخ الاحتياطية:\n") + failed.Text();
    return false;
}

QString BackupName(const QDateTime& at, int serial)
{
    QString name = QStringLiteral("DataBook-") + at.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (serial > 0) name += QLatin1Char('-') + QString::number(serial);
    return name + QStringLiteral(".mdb");
}

QDateTime BackupTime(const QString& fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^DataBook-(\\d{8}-\\d{6})(-\\d+)?\\.mdb$"));
    const auto m = pattern.match(fileName);
    if (!m.hasMatch()) return {};
    return QDateTime::fromString(m.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
}

QVector<BackupFile> ListBackups(const QString& folder)
{
    QVector<BackupFile> out;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& f : files) {
        const QDateTime at = BackupTime(f.fileName());
        if (at.isValid()) out.push_back({f.absoluteFilePath(), at});
    }
    // Newest first; within one second the later serial is the newer.
    std::sort(out.begin(), out.end(), [](const BackupFile& a, const BackupFile& b) {
        if (a.at != b.at) return a.at > b.at;
        if (a.path.size() != b.path.size()) return a.path.size() > b.path.size();
        return a.path > b.path;
    });
    return out;
}

QVector<BackupFile> ToPrune(QVector<BackupFile> backups, const QDate& today)
{
    std::stable_sort(backups.begin(), backups.end(),
                     [](const BackupFile& a, const BackupFile& b) { return a.at > b.at; });
    const QDate thisMonth(today.year(), today.month(), 1);
    const QDate oldestMonth = thisMonth.addMonths(-(kKeepMonths - 1));
    QVector<BackupFile> out;
    QDate lastMonthKept;
    for (int i = 0; i < backups.size(); ++i) {
        const QDate d = backups[i].at.date();
        const QDate month(d.year(), d.month(), 1);
        // The list runs from newest to oldest, so the first one met in a month is its newest.
        const bool newestOfItsMonth = month != lastMonthKept && month >= oldestMonth && month <= thisMonth;
        if (newestOfItsMonth) lastMonthKept = month;
        if (i >= kKeepNewest && !newestOfItsMonth) out.push_back(backups[i]);
    }
    return out;
}

QString MoveToFreeName(const QString& temp, const QString& folder, const QDateTime& at, store::Reason* why)
{
    for (int serial = 0; serial < 1000; ++serial) {
        const QString target = folder + QLatin1Char('/') + BackupName(at, serial);
        int rc = ::renameat2(AT_FDCWD, QFile::encodeName(temp).constData(), AT_FDCWD,
                             QFile::encodeName(target).constData(), RENAME_NOREPLACE);
        // Where the file system cannot refuse to replace, looking first is the best there is.
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            if (QFile::exists(target)) continue;
            rc = ::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target).constData());
        }
        if (rc == 0) return target;
        if (errno != EEXIST) break;
    }
    if (why) *why = store::SystemError();
    return {};
}

} // namespace pelorin::backup
