#include "file_steps.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pelorin::store {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

bool failed(Reason* why)
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

Reason SystemError()
{
    return Reason::System(errno);
}

bool RemoveIfPresent(const QString& path, Reason* why)
{
    if (::unlink(native(path).constData()) == 0 || errno == ENOENT) return true;
    return failed(why);
}

bool CreateEmpty(const QString& path, Reason* why)
{
    Fd f(::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    return f.fd >= 0 || failed(why);
}

bool SyncFile(const QString& path, Reason* why)
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

bool CopySynced(const QString& from, const QString& to, Reason* why)
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

void TakeOwnerAndMode(const QString& path, const struct stat& like)
{
    const QByteArray p = native(path);
    [[maybe_unused]] const bool handedOver = ::chown(p.constData(), like.st_uid, like.st_gid) == 0;
    ::chmod(p.constData(), like.st_mode & 07777);
}

bool MoveOver(const QString& from, const QString& to, Reason* why)
{
    if (::rename(native(from).constData(), native(to).constData()) != 0) return failed(why);
    SyncFolder(QFileInfo(to).absolutePath());
    return true;
}

} // namespace pelorin::store
