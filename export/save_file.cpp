#include "save_file.h"

#include <QSaveFile>

#include <cerrno>

namespace pelorin::csv {

bool SaveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write, SaveFailure* failure)
{
    QSaveFile file(path);
    // Never writes in place: a file that cannot be replaced as a whole is left alone.
    file.setDirectWriteFallback(false);
    // errno is cleared before each step and read right after the one that failed.
    bool ok = false;
    errno = 0;
    if (file.open(QIODevice::WriteOnly)) {
        errno = 0;
        if (write(file)) {
            errno = 0;
            ok = file.commit();
        }
    }
    const int systemError = ok ? 0 : errno;
    if (!ok && failure) *failure = {file.errorString(), int(file.error()), systemError};
    return ok;
}

bool SaveAtomically(const QString& path, const QByteArray& bytes, SaveFailure* failure)
{
    return SaveAtomically(
        path, [&bytes](QIODevice& d) { return d.write(bytes) == bytes.size(); }, failure);
}

} // namespace pelorin::csv
