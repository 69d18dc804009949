#include "formats/worddoc/WordProperties.h"

#include "formats/worddoc/LittleEndian.h"

namespace {
constexpr quint16 SprmPIlvl = 0x260A;
constexpr quint16 SprmPIlfo = 0x460B;
// The table definitions, whose length takes two bytes.
constexpr quint16 SprmTDefTable = 0xD608, SprmTDefTable10 = 0xD606;
constexpr qsizetype Lvlf = 28;
} // namespace

void findListSprms(QByteArrayView grpprl, int& ilfo, int& ilvl) {
    const LittleEndian g(grpprl);
    qsizetype at = 0;
    while (g.has(at, 2)) {
        const quint16 sprm = g.u16(at);
        at += 2;
        qsizetype size = 0;
        switch (sprm >> 13) {
        case 0:
        case 1:
            size = 1;
            break;
        case 2:
        case 4:
        case 5:
            size = 2;
            break;
        case 3:
            size = 4;
            break;
        case 7:
            size = 3;
            break;
        default: // variable: a length byte first (two for the table definition)
            if (sprm == SprmTDefTable || sprm == SprmTDefTable10) {
                size = 2 + g.u16(at) - 1;
            } else {
                size = 1 + g.u8(at);
            }
            break;
        }
        if (sprm == SprmPIlvl) ilvl = g.u8(at);
        if (sprm == SprmPIlfo) ilfo = qint16(g.u16(at));
        at += size;
    }
}

ListLevelFormat readListLevel(QByteArrayView bytes, qsizetype offset, qsizetype& size) {
    const LittleEndian b(bytes);
    ListLevelFormat level;
    level.start = qint32(b.u32(offset));
    level.format = b.u8(offset + 4);
    level.follow = b.u8(offset + 15);
    const qsizetype xst = offset + Lvlf + b.u8(offset + 25) + b.u8(offset + 24);
    const quint16 chars = b.u16(xst);
    for (qsizetype i = 0; i < chars && b.has(xst + 2 + 2 * i, 2); ++i)
        level.text += QChar(b.u16(xst + 2 + 2 * i));
    size = xst + 2 + 2 * qsizetype(chars) - offset;
    return level;
}
