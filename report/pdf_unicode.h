// The text a PDF's glyphs stand for, mended where a font's own character map names a glyph as an
// Arabic presentation form: cairo takes that name for the glyph's text, and a reader would then
// give shapes (ﻻ, ﻷ, ﻣ) where the page shows letters, which no search or spreadsheet matches.
#pragma once

#include <QByteArray>
#include <QString>

namespace pelorin::report {

// The text with every presentation form (a positional form or a ligature of letters) replaced
// by the plain letters it shows: U+FEFB lam-alef is U+0644 U+0627.
QString PlainLetters(const QString& text);

// Rewrites every ToUnicode map of the PDF to give the plain letters. False, with out untouched,
// when the PDF could not be read or written.
bool MendPresentationForms(const QByteArray& pdf, QByteArray& out);

} // namespace pelorin::report
