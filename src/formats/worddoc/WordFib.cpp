#include "formats/worddoc/WordFib.h"

#include "formats/worddoc/LittleEndian.h"

namespace {
constexpr quint16 WordIdent = 0xA5EC;
// Word 97 writes 0xC1; its blank template and its bidirectional build write
// 0xC0 and 0xC2. Older formats keep their text elsewhere.
constexpr quint16 FirstWord97Fib = 0xC0;
constexpr quint16 Encrypted = 0x0100;
constexpr quint16 UsesTable1 = 0x0200;
constexpr int CountsKnown = 11; // FibRgLw97 up to ccpHdrTxbx
} // namespace

std::optional<WordFib> readWordFib(QByteArrayView stream) {
    const LittleEndian fib(stream);
    if (fib.u16(0) != WordIdent || fib.u16(2) < FirstWord97Fib) return std::nullopt;
    const quint16 flags = fib.u16(0x0A);
    if (flags & Encrypted) return std::nullopt;
    // The FIB is a chain of counted arrays; walk it rather than trust fixed offsets.
    const qsizetype rgW = 32 + 2;
    const qsizetype rgLw = rgW + 2 * fib.u16(32) + 2;
    const qsizetype rgFcLcb = rgLw + 4 * fib.u16(rgLw - 2) + 2;
    const quint16 pairs = fib.u16(rgFcLcb - 2);
    if (fib.u16(rgLw - 2) < CountsKnown || !fib.has(rgLw, 4 * CountsKnown)) return std::nullopt;
    WordFib out;
    out.table1 = flags & UsesTable1;
    out.fcMin = fib.u32(0x18);
    out.fcMac = fib.u32(0x1C);
    // ccpText, ccpFtn, ccpHdd, ccpMcr, ccpAtn, ccpEdn, ccpTxbx, ccpHdrTxbx
    for (int i = 0; i < 8; ++i)
        out.ccp[size_t(i)] = fib.u32(rgLw + 12 + 4 * i);
    out.fcLcb = fib.bytes(rgFcLcb, qMin<qsizetype>(8 * pairs, fib.size() - rgFcLcb));
    return out;
}

quint32 WordFib::storyStart(Story story) const {
    quint64 start = 0;
    for (int i = 0; i < int(story); ++i)
        start += ccp[size_t(i)];
    return quint32(qMin<quint64>(start, 0xFFFFFFFFu));
}

QByteArrayView WordFib::table(QByteArrayView tableStream, Table which) const {
    const LittleEndian pairs(fcLcb);
    if (!pairs.has(8 * which, 8)) return {};
    return LittleEndian(tableStream).bytes(pairs.u32(8 * which), pairs.u32(8 * which + 4));
}

QByteArrayView WordFib::tableOnward(QByteArrayView tableStream, Table which) const {
    const LittleEndian pairs(fcLcb);
    if (!pairs.has(8 * which, 8) || pairs.u32(8 * which + 4) == 0) return {};
    const LittleEndian table(tableStream);
    const qsizetype at = pairs.u32(8 * which);
    return table.bytes(at, table.size() - at);
}
