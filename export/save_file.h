// Writing a whole file in one step: the bytes go to a temporary file beside it, which takes
// the file's place only once it has been written whole.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace pelorin::csv {

// Replaces (or creates) the file at path with what write puts on the device it is given (true
// when it wrote everything). On failure the file at path, if there was one, is as it was, no
// temporary file is left, and error (when given) says what failed.
bool SaveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* error = nullptr);
bool SaveAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace pelorin::csv
