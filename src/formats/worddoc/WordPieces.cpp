#include "formats/worddoc/WordPieces.h"

#include "formats/TextDecoding.h"
#include "formats/worddoc/LittleEndian.h"

#include <algorithm>

namespace {
constexpr quint32 Compressed = 0x40000000;
constexpr quint32 CompressedOffset = 0x3FFFFFFF;
constexpr char16_t Unreadable = 0xFFFF;

// The piece table (Pcdt) inside the Clx, past any property modifiers (Prc).
QByteArrayView pieceTable(QByteArrayView clx) {
    const LittleEndian c(clx);
    qsizetype at = 0;
    while (c.u8(at) == 0x01) {
        const qint16 size = qint16(c.u16(at + 1));
        if (size < 0) return {};
        at += 3 + size;
    }
    if (c.u8(at) != 0x02) return {};
    // A length past the table's end is cut to what is there.
    return c.bytes(at + 5, qMin<qsizetype>(c.u32(at + 1), c.size() - at - 5));
}
} // namespace

WordPieces::WordPieces(const WordFib& fib, QByteArrayView wordStream, QByteArrayView tableStream)
    : word_(wordStream) {
    quint64 total = 0;
    for (const quint32 count : fib.ccp)
        total += count;
    // Text never takes more characters than its stream has bytes.
    end_ = quint32(qMin<quint64>(total, quint64(word_.size())));
    readPieceTable(pieceTable(fib.table(tableStream, WordFib::Pieces)), end_);
    if (!readable()) guessWithoutTable(fib, end_);
    if (!pieces_.empty()) end_ = qMin(end_, pieces_.back().cpEnd);
}

void WordPieces::readPieceTable(QByteArrayView plc, quint32 end) {
    const LittleEndian p(plc);
    const qsizetype count = (p.size() - 4) / 12;
    for (qsizetype i = 0; i < count; ++i) {
        Piece piece;
        piece.cpStart = p.u32(4 * i);
        piece.cpEnd = qMin(p.u32(4 * (i + 1)), end);
        // Pieces follow each other; one out of order is damaged and skipped.
        if (piece.cpStart >= end) break;
        if (piece.cpEnd <= piece.cpStart ||
            (!pieces_.empty() && piece.cpStart < pieces_.back().cpEnd))
            continue;
        const quint32 fc = p.u32(4 * (count + 1) + 8 * i + 2);
        piece.compressed = fc & Compressed;
        piece.fc = piece.compressed ? (fc & CompressedOffset) / 2 : fc;
        const quint64 bytes = quint64(piece.cpEnd - piece.cpStart) * (piece.compressed ? 1 : 2);
        piece.readable = quint64(piece.fc) + bytes <= quint64(word_.size());
        if (!piece.readable && piece.fc < quint64(word_.size())) {
            // A stream cut short inside the piece keeps the characters before the cut.
            Piece rest = piece;
            const quint64 kept = (quint64(word_.size()) - piece.fc) / (piece.compressed ? 1 : 2);
            if (kept > 0) {
                piece.cpEnd = rest.cpStart = piece.cpStart + quint32(kept);
                piece.readable = true;
                pieces_.push_back(piece);
            }
            pieces_.push_back(rest);
            continue;
        }
        pieces_.push_back(piece);
    }
}

void WordPieces::guessWithoutTable(const WordFib& fib, quint32 end) {
    // One piece from fcMin: UTF-16 when the span holds two bytes a character
    // or its bytes look so, else 8-bit.
    pieces_.clear();
    // A stream cut short keeps the text before the cut.
    const quint64 fcMac = qMin<quint64>(fib.fcMac, quint64(word_.size()));
    if (fib.fcMin >= fcMac) return;
    const quint32 span = quint32(fcMac - fib.fcMin);
    const QByteArrayView bytes = word_.sliced(fib.fcMin, span);
    Piece piece;
    piece.fc = fib.fcMin;
    piece.compressed =
        !(quint64(fib.ccp[WordFib::Main]) * 2 <= span || unmarkedUtf16(bytes) != Utf16Guess::None);
    piece.cpEnd = qMin(end, piece.compressed ? span : span / 2);
    piece.readable = piece.cpEnd > 0;
    if (piece.readable) pieces_.push_back(piece);
}

QString WordPieces::text(quint32 from, quint32 to) const {
    to = qMin(to, end_);
    QString out;
    if (from >= to) return out;
    out.reserve(to - from);
    // Pieces are in order: start at the first that reaches past from.
    auto first = std::upper_bound(pieces_.begin(), pieces_.end(), from,
                                  [](quint32 c, const Piece& p) { return c < p.cpEnd; });
    for (auto it = first; it != pieces_.end() && it->cpStart < to; ++it) {
        const Piece& piece = *it;
        const quint32 start = qMax(from, piece.cpStart), stop = qMin(to, piece.cpEnd);
        if (start >= stop) continue;
        // A gap between pieces keeps its place, so that positions stay true.
        const qsizetype gap = qsizetype(start - from) - out.size();
        if (gap > 0) out += QString(gap, QChar(Unreadable));
        const qsizetype count = stop - start;
        if (!piece.readable) {
            out += QString(count, QChar(Unreadable));
            continue;
        }
        const qsizetype offset =
            piece.fc + qsizetype(start - piece.cpStart) * (piece.compressed ? 1 : 2);
        if (piece.compressed) {
            out += decodeWindows1252(word_.sliced(offset, count));
            continue;
        }
        const QByteArrayView bytes = word_.sliced(offset, 2 * count);
        const qsizetype at = out.size();
        out.resize(at + count);
        for (qsizetype c = 0; c < count; ++c)
            out[at + c] = QChar(qFromLittleEndian<quint16>(bytes.data() + 2 * c));
    }
    if (out.size() < qsizetype(to - from))
        out += QString(qsizetype(to - from) - out.size(), QChar(Unreadable));
    return out;
}

qint64 WordPieces::fcOf(quint32 cp) const {
    const auto it = std::upper_bound(pieces_.begin(), pieces_.end(), cp,
                                     [](quint32 c, const Piece& p) { return c < p.cpEnd; });
    if (it == pieces_.end() || cp < it->cpStart || !it->readable) return -1;
    return qint64(it->fc) + qint64(cp - it->cpStart) * (it->compressed ? 1 : 2);
}

bool WordPieces::readable() const {
    return std::any_of(pieces_.begin(), pieces_.end(), [](const Piece& p) { return p.readable; });
}
