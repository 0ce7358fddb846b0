#include "save_file.h"

#include <QSaveFile>

namespace pelorin::csv {

bool SaveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write, QString* error)
{
    QSaveFile file(path);
    // Never writes in place: a file that cannot be replaced as a whole is left alone.
    file.setDirectWriteFallback(false);
    const bool ok = file.open(QIODevice::WriteOnly) && write(file) && file.commit();
    if (!ok && error) *error = file.errorString();
    return ok;
}

bool SaveAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    return SaveAtomically(
        path, [&bytes](QIODevice& d) { return d.write(bytes) == bytes.size(); }, error);
}

} // namespace pelorin::csv
