// The rows' texts are decoded by a loop of our own: whatever the bytes, they must read as
// QString::fromUtf8 reads them.
#include <QList>
#include <QRandomGenerator>
#include <QString>

#include <gtest/gtest.h>

#include "text_table.h"

using pelorin::store::TextTable;

namespace {

// UTF-8 of a code point, written without checks so that surrogates and overlong forms can be made.
QByteArray encode(quint32 c, int length)
{
    QByteArray out;
    if (length == 1) return QByteArray(1, char(c));
    static const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out.append(char(lead[length] | (c >> (6 * (length - 1)))));
    for (int i = length - 2; i >= 0; --i)
        out.append(char(0x80 | ((c >> (6 * i)) & 0x3F)));
    return out;
}

} // namespace

TEST(TextTable, ReadsAnyBytesAsQtReadsUtf8)
{
    QRandomGenerator random(8);
    const quint32 points[] = {0x41,   0x7F,    0x80,    0x627,    0x7FF,   0x800,  0xD7FF,
                              0xD800, 0xDFFF,  0xE000,  0xFDD0,   0xFEFF,  0xFFFD, 0xFFFE,
                              0xFFFF, 0x10000, 0x1F600, 0x10FFFF, 0x110000};
    TextTable table(1);
    QList<QByteArray> inputs = {"", "\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBFx", "a\xEF\xBB\xBF"};
    for (int n = 0; n < 20000; ++n) {
        QByteArray bytes;
        for (int k = int(random.bounded(6)); k > 0; --k) {
            switch (random.bounded(4)) {
            case 0: // a code point, in its shortest form or longer
                bytes += encode(points[random.bounded(int(std::size(points)))], 1 + int(random.bounded(4)));
                break;
            case 1: // a sequence cut short
                bytes +=
                    encode(points[random.bounded(int(std::size(points)))], 4).left(int(random.bounded(3)));
                break;
            case 2: // any byte
                bytes += char(random.bounded(256));
                break;
            default:
                bytes += "\xD8\xA3";
            }
        }
        inputs << bytes;
    }
    for (int i = 0; i < inputs.size(); ++i) {
        table.AppendRow(i);
        table.AppendUtf8(inputs[i].constData(), inputs[i].size());
    }
    for (int i = 0; i < inputs.size(); ++i)
        ASSERT_EQ(table.View(i, 0), QString::fromUtf8(inputs[i])) << inputs[i].toHex().toStdString();
    EXPECT_FALSE(table.View(0, 0).isNull());
}
