#include "formats/worddoc/WordText.h"

#include "formats/worddoc/CompoundFile.h"
#include "formats/worddoc/LittleEndian.h"
#include "formats/worddoc/WordPieces.h"
#include "formats/worddoc/WordStories.h"

namespace {
constexpr quint16 WordIdent = 0xA5EC;
constexpr qsizetype SectorSize = 512;
constexpr int MaxTries = 4;

std::optional<QString> textOf(QByteArrayView stream, QByteArrayView table, qsizetype limit) {
    const auto fib = readWordFib(stream);
    if (!fib) return std::nullopt;
    const WordPieces pieces(*fib, stream, table);
    if (!pieces.readable()) return std::nullopt;
    return WordStories(*fib, pieces, stream, table, limit).text();
}

// A container too damaged to find the WordDocument stream in: a FIB at the
// start of a sector, whose text lies where it says, read as if the stream's
// sectors followed each other (as they do in files written in one go).
std::optional<QString> recoveredText(const QByteArray& file) {
    int tries = 0;
    for (qsizetype at = SectorSize; at + SectorSize <= file.size(); at += SectorSize) {
        if (LittleEndian(file, at).u16(0) != WordIdent) continue;
        const QByteArrayView stream = QByteArrayView(file).sliced(at);
        const auto fib = readWordFib(stream);
        if (!fib || fib->fcMin >= fib->fcMac || fib->fcMac > quint64(stream.size())) continue;
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
    if (auto text = textOf(*stream, table, file.size())) return text;
    return recoveredText(file);
}
