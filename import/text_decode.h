// The bytes of a file as text: UTF-8 with or without a byte-order mark, UTF-16 with one, and
// otherwise the Arabic code page of Windows (1256), which older spreadsheets write.
#pragma once

#include <QByteArray>
#include <QString>

namespace pelorin::importing {

enum class Encoding { Utf8, Utf16Le, Utf16Be, Windows1256 };

// The name the preview shows for the encoding.
QString EncodingName(Encoding encoding);

// A byte-order mark decides; without one, bytes that are valid UTF-8 are UTF-8 and any others
// Windows-1256.
Encoding DetectEncoding(const QByteArray& bytes);

// The text of the bytes read in the given encoding, without any byte-order mark. Bytes that
// are not valid in it become U+FFFD.
QString Decode(const QByteArray& bytes, Encoding encoding);

} // namespace pelorin::importing
