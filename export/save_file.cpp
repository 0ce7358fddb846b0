#include "save_file.h"

#include <QSaveFile>

namespace pelorin::csv {

bool SaveAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    // Never writes in place: a file that cannot be replaced as a whole is left alone.
    file.setDirectWriteFallback(false);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error) *error = file.errorString();
    return ok;
}

} // namespace pelorin::csv
