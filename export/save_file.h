// Writing a whole file in one step: the bytes go to a temporary file beside it, which takes
// the file's place only once everything is on disk.
#pragma once

#include <QByteArray>
#include <QString>

namespace pelorin::csv {

// Replaces (or creates) the file at path with the bytes. On failure the file at path, if there
// was one, is as it was, no temporary file is left, and error (when given) says what failed.
bool SaveAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace pelorin::csv
