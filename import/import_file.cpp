#include "import_file.h"

#include <algorithm>

namespace pelorin::importing {

ParsedFile ParseFile(const QByteArray& bytes, std::optional<Encoding> encoding,
                     std::optional<QChar> separator, const std::atomic<bool>* stop)
{
    ParsedFile file;
    if (bytes.size() > kMaxFileBytes) {
        file.error = QStringLiteral("الملف أكبر من 100 ميغابايت");
        return file;
    }
    file.encoding = encoding.value_or(DetectEncoding(bytes));
    const QString text = Decode(bytes, file.encoding);
    file.separator = separator.value_or(DetectSeparator(text));
    ReadResult read = ReadRecords(text, file.separator, stop);
    file.stopped = read.stopped;
    if (file.stopped) return file;
    if (!read.error.isEmpty()) {
        file.error = read.error;
        file.errorLine = read.errorLine;
        return file;
    }
    // Lines holding nothing but separators or spaces count as nothing.
    const bool empty = std::none_of(read.records.begin(), read.records.end(), [](const Record& r) {
        return std::any_of(r.fields.begin(), r.fields.end(),
                           [](const QString& f) { return !f.trimmed().isEmpty(); });
    });
    if (empty) {
        file.error = QStringLiteral("الملف فارغ");
        return file;
    }
    file.records = std::move(read.records);
    file.map = MapColumns(file.records.constFirst().fields);
    return file;
}

} // namespace pelorin::importing
