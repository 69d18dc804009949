#include "formats/worddoc/WordText.h"

#include "formats/worddoc/CompoundFile.h"
#include "formats/worddoc/LittleEndian.h"
#include "formats/worddoc/WordPieces.h"
#include "formats/worddoc/WordStories.h"

#include <algorithm>
#include <vector>

namespace {
constexpr quint16 WordIdent = 0xA5EC;
constexpr qsizetype SectorSize = 512;
constexpr int MaxTries = 4;
constexpr qsizetype HeaderFatSectors = 109;

std::optional<QString> textOf(QByteArrayView stream, QByteArrayView table, qsizetype limit) {
    const auto fib = readWordFib(stream);
    if (!fib) return std::nullopt;
    const WordPieces pieces(*fib, stream, table);
    if (!pieces.readable()) return std::nullopt;
    return WordStories(*fib, pieces, stream, table, limit).text();
}

// The file from offset on without the sectors the header names as the
// FAT's: writers put those among a stream's sectors.
QByteArray withoutFatSectors(const QByteArray& file, qsizetype offset) {
    const LittleEndian header(file);
    const int shift = header.u16(0x1E) == 12 ? 12 : 9;
    std::vector<qsizetype> skipped;
    for (qsizetype i = 0; i < HeaderFatSectors; ++i) {
        const qsizetype at = (qsizetype(header.u32(0x4C + 4 * i)) + 1) << shift;
        if (at > offset && at < file.size()) skipped.push_back(at);
    }
    std::sort(skipped.begin(), skipped.end());
    QByteArray out;
    out.reserve(file.size() - offset);
    for (const qsizetype at : skipped) {
        if (at < offset) continue; // listed twice
        out.append(QByteArrayView(file).sliced(offset, at - offset));
        offset = qMin(file.size(), at + (qsizetype(1) << shift));
    }
    out.append(QByteArrayView(file).sliced(offset));
    return out;
}

// A container too damaged to find the WordDocument stream in: a FIB at the
// start of a sector, whose text lies where it says, read as if the stream's
// sectors followed each other (as they do in files written in one go) but for
// the FAT's own sectors; a text cut short gives what comes before the cut.
std::optional<QString> recoveredText(const QByteArray& file) {
    int tries = 0;
    for (qsizetype at = SectorSize; at + SectorSize <= file.size(); at += SectorSize) {
        if (LittleEndian(file, at).u16(0) != WordIdent) continue;
        const QByteArrayView view = QByteArrayView(file).sliced(at);
        const auto fib = readWordFib(view);
        if (!fib || fib->fcMin >= fib->fcMac || fib->fcMin >= quint64(view.size())) continue;
        const QByteArray stream = withoutFatSectors(file, at);
        if (auto text = textOf(stream, {}, file.size())) return text;
        // A file full of look-alikes costs a few readings, not one per sector.
        if (++tries == MaxTries) break;
    }
    return std::nullopt;
}
} // namespace

std::optional<QString> wordDocumentText(const QByteArray& file) {
    const auto cf = CompoundFile::open(file);
    // A damaged file shows what can be read of it: streams up to where their
    // chains break, the text of the pieces found there.
    const auto stream =
        cf ? cf->stream(QStringLiteral("WordDocument"), CompoundFile::Partly) : std::nullopt;
    const auto fib = stream ? readWordFib(*stream) : std::nullopt;
    if (!fib) {
        // Encrypted or older documents are refused as they are, not recovered.
        if (stream && stream->size() >= 4 && LittleEndian(*stream).u16(0) == WordIdent)
            return std::nullopt;
        return isCompoundFile(file) ? recoveredText(file) : std::nullopt;
    }
    // A missing or damaged table stream costs the tables, not the text.
    const QByteArray table =
        cf->stream(fib->table1 ? QStringLiteral("1Table") : QStringLiteral("0Table"),
                   CompoundFile::Partly)
            .value_or(QByteArray());
    // Text never outgrows the file it came from.
    auto text = textOf(*stream, table, file.size());
    // A stream whose chain breaks before its text ends may yet lie whole in
    // the file: the longer reading wins.
    if (text && fib->fcMac <= quint64(stream->size())) return text;
    auto recovered = recoveredText(file);
    return text && (!recovered || recovered->size() < text->size()) ? text : recovered;
}
