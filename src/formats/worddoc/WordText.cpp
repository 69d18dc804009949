#include "formats/worddoc/WordText.h"

#include "formats/TextDecoding.h"
#include "formats/worddoc/CompoundFile.h"
#include "formats/worddoc/LittleEndian.h"
#include "formats/worddoc/WordChars.h"

namespace {

constexpr quint16 WordIdent = 0xA5EC;
constexpr quint16 FirstWord97Fib = 0xC1; // older formats keep text elsewhere
constexpr quint16 Encrypted = 0x0100;
constexpr quint16 UsesTable1 = 0x0200;
constexpr quint32 Compressed = 0x40000000;
constexpr quint32 CompressedOffset = 0x3FFFFFFF;

struct FibFacts {
    bool table1 = false;
    quint32 textLength = 0; // ccpText: characters of the main document
    quint32 clxOffset = 0, clxLength = 0;
};

std::optional<FibFacts> readFib(const QByteArray& stream) {
    const LittleEndian fib(stream);
    if (fib.u16(0) != WordIdent || fib.u16(2) < FirstWord97Fib) return std::nullopt;
    const quint16 flags = fib.u16(0x0A);
    if (flags & Encrypted) return std::nullopt;
    // The FIB is a chain of counted arrays; walk it rather than trust fixed offsets.
    const qsizetype rgW = 32 + 2;
    const qsizetype rgLw = rgW + 2 * fib.u16(32) + 2;
    const qsizetype rgFcLcb = rgLw + 4 * fib.u16(rgLw - 2) + 2;
    const quint16 pairs = fib.u16(rgFcLcb - 2);
    constexpr int ClxPair = 33;
    if (fib.u16(rgLw - 2) < 4 || pairs <= ClxPair || !fib.has(rgFcLcb, 8 * (ClxPair + 1)))
        return std::nullopt;
    FibFacts facts;
    facts.table1 = flags & UsesTable1;
    facts.textLength = fib.u32(rgLw + 12);
    facts.clxOffset = fib.u32(rgFcLcb + 8 * ClxPair);
    facts.clxLength = fib.u32(rgFcLcb + 8 * ClxPair + 4);
    return facts;
}

// The piece table (Pcdt) inside the Clx, past any property modifiers (Prc).
std::optional<QByteArrayView> pieceTable(QByteArrayView clx) {
    const LittleEndian c(clx);
    qsizetype at = 0;
    while (c.u8(at) == 0x01) {
        const qint16 size = qint16(c.u16(at + 1));
        if (size < 0) return std::nullopt;
        at += 3 + size;
    }
    if (c.u8(at) != 0x02 || !c.has(at + 5, c.u32(at + 1))) return std::nullopt;
    return c.bytes(at + 5, c.u32(at + 1));
}

} // namespace

std::optional<QString> wordDocumentText(const QByteArray& file) {
    const auto cf = CompoundFile::open(file);
    if (!cf) return std::nullopt;
    const auto stream = cf->stream(QStringLiteral("WordDocument"));
    if (!stream) return std::nullopt;
    const auto fib = readFib(*stream);
    if (!fib) return std::nullopt;
    const auto table =
        cf->stream(fib->table1 ? QStringLiteral("1Table") : QStringLiteral("0Table"));
    if (!table) return std::nullopt;
    const auto plc = pieceTable(LittleEndian(*table).bytes(fib->clxOffset, fib->clxLength));
    if (!plc) return std::nullopt;

    const LittleEndian p(*plc);
    const qsizetype pieces = (p.size() - 4) / 12;
    if (pieces < 0) return std::nullopt;
    const LittleEndian text(*stream);
    WordChars out;
    for (qsizetype i = 0; i < pieces; ++i) {
        const quint32 cpStart = p.u32(4 * i);
        const quint32 cpEnd = qMin(p.u32(4 * (i + 1)), fib->textLength);
        if (cpEnd < cpStart || p.u32(4 * (i + 1)) < cpStart) return std::nullopt;
        if (cpStart >= fib->textLength) break;
        const qsizetype count = cpEnd - cpStart;
        const quint32 fc = p.u32(4 * (pieces + 1) + 8 * i + 2);
        // Text never takes more characters than its stream has bytes.
        if (out.size() + count > stream->size()) return std::nullopt;
        if (fc & Compressed) {
            const QByteArrayView bytes = text.bytes((fc & CompressedOffset) / 2, count);
            if (bytes.size() != count) return std::nullopt;
            out.append(decodeWindows1252(bytes));
        } else {
            const QByteArrayView bytes = text.bytes(fc, 2 * count);
            if (bytes.size() != 2 * count) return std::nullopt;
            QString unicode(count, Qt::Uninitialized);
            for (qsizetype c = 0; c < count; ++c)
                unicode[c] = QChar(qFromLittleEndian<quint16>(bytes.data() + 2 * c));
            out.append(unicode);
        }
    }
    return out.result();
}
