#include "pdf_unicode.h"

#include <QRegularExpression>

// This code uses std::shared_ptr where older qpdf had its own pointer type.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>

namespace pelorin::report {

namespace {

bool isPresentationForm(char32_t c)
{
    switch (QChar::decompositionTag(c)) {
    case QChar::Initial:
    case QChar::Medial:
    case QChar::Final:
    case QChar::Isolated:
        return true;
    default:
        return false;
    }
}

// A ToUnicode entry's text is UTF-16, big-endian, in hexadecimal.
QString fromHex(QStringView hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t((uchar(bytes[i]) << 8) | uchar(bytes[i + 1])));
    return text;
}

QString toHex(const QString& text)
{
    QByteArray bytes;
    for (QChar ch : text)
        bytes += char(ch.unicode() >> 8), bytes += char(ch.unicode() & 0xFF);
    return QString::fromLatin1(bytes.toHex());
}

// Mends the targets of the bfchar entries ("<glyph> <text>"), the only kind cairo writes.
QByteArray mendMap(const QByteArray& map, bool* changed)
{
    static const QRegularExpression entry(QStringLiteral("^(\\s*<[0-9A-Fa-f]+>\\s*<)([0-9A-Fa-f]+)>"),
                                          QRegularExpression::MultilineOption);
    const QString text = QString::fromLatin1(map);
    QString out;
    qsizetype last = 0;
    for (auto it = entry.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString target = fromHex(m.capturedView(2));
        const QString plain = PlainLetters(target);
        if (plain == target) continue;
        out += QStringView(text).mid(last, m.capturedStart(2) - last);
        out += toHex(plain);
        last = m.capturedEnd(2);
        *changed = true;
    }
    out += QStringView(text).mid(last);
    return out.toLatin1();
}

} // namespace

QString PlainLetters(const QString& text)
{
    QString out;
    for (char32_t c : text.toUcs4()) {
        if (!isPresentationForm(c)) {
            out += QString::fromUcs4(&c, 1);
            continue;
        }
        // The forms of a lone short vowel are decomposed with a space before the vowel.
        const QString letters = QChar::decomposition(c);
        out += letters.trimmed().isEmpty() ? letters : letters.trimmed();
    }
    return out;
}

bool MendPresentationForms(const QByteArray& pdf, QByteArray& out)
{
    try {
        QPDF doc;
        doc.setSuppressWarnings(true);
        doc.processMemoryFile("report.pdf", pdf.constData(), size_t(pdf.size()));
        bool changed = false;
        for (QPDFObjectHandle& font : doc.getAllObjects()) {
            if (!font.isDictionary() || !font.hasKey("/ToUnicode")) continue;
            QPDFObjectHandle map = font.getKey("/ToUnicode");
            if (!map.isStream()) continue;
            const std::shared_ptr<Buffer> data = map.getStreamData();
            bool mended = false;
            const QByteArray text = mendMap(
                QByteArray(reinterpret_cast<const char*>(data->getBuffer()), qsizetype(data->getSize())),
                &mended);
            if (!mended) continue;
            map.replaceStreamData(text.toStdString(), QPDFObjectHandle::newNull(),
                                  QPDFObjectHandle::newNull());
            changed = true;
        }
        if (!changed) {
            out = pdf;
            return true;
        }
        QPDFWriter writer(doc);
        writer.setOutputMemory();
        // The pages' streams are already compressed; only the mended maps need it.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(true);
        writer.write();
        const std::unique_ptr<Buffer> written(writer.getBuffer());
        out = QByteArray(reinterpret_cast<const char*>(written->getBuffer()), qsizetype(written->getSize()));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace pelorin::report
