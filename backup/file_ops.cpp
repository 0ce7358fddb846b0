#include "file_ops.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "backup_files.h"

namespace pelorin::backup {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

bool failed(QString* why)
{
    if (why) *why = SystemError();
    return false;
}

// An open file descriptor, closed when it goes out of scope.
struct Fd {
    explicit Fd(int f) : fd(f) {}
    ~Fd()
    {
        if (fd >= 0) ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int fd;
};

} // namespace

QString SystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool RemoveIfPresent(const QString& path, QString* why)
{
    if (::unlink(native(path).constData()) == 0 || errno == ENOENT) return true;
    return failed(why);
}

bool CreateEmpty(const QString& path, QString* why)
{
    Fd f(::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    return f.fd >= 0 || failed(why);
}

bool SyncFile(const QString& path, QString* why)
{
    Fd f(::open(native(path).constData(), O_RDONLY | O_CLOEXEC));
    if (f.fd < 0 || ::fsync(f.fd) != 0) return failed(why);
    return true;
}

bool SyncFolder(const QString& folder)
{
    Fd f(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return f.fd >= 0 && ::fsync(f.fd) == 0;
}

bool CopySynced(const QString& from, const QString& to, QString* why)
{
    Fd in(::open(native(from).constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0) return failed(why);
    Fd out(::open(native(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.fd < 0) return failed(why);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            return failed(why);
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out.fd, buffer + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                return failed(why);
            }
            done += w;
        }
    }
    if (::fsync(out.fd) != 0) return failed(why);
    return true;
}

QString MoveToFreeName(const QString& temp, const QString& folder, const QDateTime& at, QString* why)
{
    for (int serial = 0; serial < 1000; ++serial) {
        const QString target = folder + QLatin1Char('/') + BackupName(at, serial);
        int rc = ::renameat2(AT_FDCWD, native(temp).constData(), AT_FDCWD, native(target).constData(),
                             RENAME_NOREPLACE);
        // Where the file system cannot refuse to replace, looking first is the best there is.
        if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
            if (QFile::exists(target)) continue;
            rc = ::rename(native(temp).constData(), native(target).constData());
        }
        if (rc == 0) return target;
        if (errno != EEXIST) break;
    }
    failed(why);
    return {};
}

} // namespace pelorin::backup
