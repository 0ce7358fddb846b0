// Writing a whole file in one step: the bytes go to a temporary file beside it, which takes
// the file's place only once it has been written whole.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace pelorin::csv {

// Why a save failed: Qt's words, Qt's kind of failure (a QFileDevice::FileError) and the
// system's error number of the step that failed (0 when it gave none), from which the caller
// can tell a full disk from a read-only folder.
struct SaveFailure {
    QString text;
    int kind = 0;
    int systemError = 0;
};

// Replaces (or creates) the file at path with what write puts on the device it is given (true
// when it wrote everything). On failure the file at path, if there was one, is as it was, no
// temporary file is left, and failure (when given) says what failed.
bool SaveAtomically(const QString& path, const std::function<bool(QIODevice&)>& write,
                    SaveFailure* failure = nullptr);
bool SaveAtomically(const QString& path, const QByteArray& bytes, SaveFailure* failure = nullptr);

} // namespace pelorin::csv
