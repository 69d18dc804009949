#include "formats/rtf/RtfPicture.h"

#include <QtEndian>

namespace {

constexpr quint16 SetWindowOrg = 0x020B;
constexpr quint16 SetWindowExt = 0x020C;

quint16 word(const QByteArray& data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.constData() + at);
}

void putWord(QByteArray& out, int value) {
    const quint16 w = quint16(value);
    out.append(char(w & 0xFF));
    out.append(char(w >> 8));
}

} // namespace

QByteArray withPlaceableHeader(const QByteArray& metafile, int goalWidth, int goalHeight) {
    // The window origin and extent give the picture's frame in logical units.
    int left = 0, top = 0, width = goalWidth, height = goalHeight;
    if (metafile.size() >= 18) {
        qsizetype pos = qsizetype(word(metafile, 2)) * 2;
        while (pos >= 18 && pos + 10 <= metafile.size()) {
            const quint32 words = qFromLittleEndian<quint32>(metafile.constData() + pos);
            if (words < 3 || words > quint32(metafile.size())) break;
            const quint16 function = word(metafile, pos + 4);
            if (function == SetWindowOrg) {
                top = qint16(word(metafile, pos + 6));
                left = qint16(word(metafile, pos + 8));
            } else if (function == SetWindowExt) {
                height = qint16(word(metafile, pos + 6));
                width = qint16(word(metafile, pos + 8));
            }
            pos += qsizetype(words) * 2;
        }
    }
    const int inch =
        goalWidth > 0 && width != 0 ? qBound(1, qAbs(width) * 1440 / goalWidth, 0xFFFF) : 1440;
    QByteArray out;
    putWord(out, 0xCDD7); // key 0x9AC6CDD7
    putWord(out, 0x9AC6);
    putWord(out, 0);
    putWord(out, left);
    putWord(out, top);
    putWord(out, qBound(-32768, left + width, 32767));
    putWord(out, qBound(-32768, top + height, 32767));
    putWord(out, inch);
    putWord(out, 0);
    putWord(out, 0);
    quint16 checksum = 0;
    for (qsizetype i = 0; i < out.size(); i += 2)
        checksum ^= word(out, i);
    putWord(out, checksum);
    return out + metafile;
}
