// Reading the published version file: four characters of version number, a line break, then
// the address of the download page.
#pragma once

#include <QByteArray>
#include <QString>

namespace pelorin::update {

struct VersionFile {
    QString version; // as it stands, at most four characters
    QString address; // the download page, without line breaks around it
};

// Works on the bytes as received. A version shorter than four characters ends at its line
// break, so that the address keeps its first character.
VersionFile ParseVersionFile(const QByteArray& bytes);

// The number a text starts with, read as a decimal literal: blanks, tabs and line feeds are
// skipped, a point separates the decimals, reading stops at the first other character, and a
// text that starts with no number is 0.
double LeadingNumber(const QString& text);

} // namespace pelorin::update
