#include "formats/IconFile.h"

#include "formats/metafile/ByteReader.h"
#include "system/PlatformError.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdlib>

namespace {

constexpr int EntrySize = 16, DirectoryStart = 6;
const QByteArrayView PngSignature("\x89PNG\r\n\x1a\n", 8);

struct IconEntry {
    qint64 width = 0, height = 0;
    int depth = 0;
    qint64 offset = 0, length = 0;
};

quint32 bigEndian32(const ByteReader& r, qint64 at) {
    return quint32(r.u8(at)) << 24 | quint32(r.u8(at + 1)) << 16 | quint32(r.u8(at + 2)) << 8 |
           r.u8(at + 3);
}

// Size and depth from the image itself where it says them: a cursor's entry
// holds its hot spot where an icon's holds the depth, and a directory's size
// byte cannot say more than 256.
IconEntry readEntry(const ByteReader& file, int i) {
    const qint64 at = DirectoryStart + qint64(EntrySize) * i;
    IconEntry entry;
    entry.width = file.u8(at) ? file.u8(at) : 256;
    entry.height = file.u8(at + 1) ? file.u8(at + 1) : 256;
    entry.length = file.u32(at + 8);
    entry.offset = file.u32(at + 12);
    if (file.has(entry.offset, 33) && file.view().sliced(entry.offset, 8) == PngSignature) {
        static const int channels[] = {1, 0, 3, 1, 2, 0, 4};
        entry.width = bigEndian32(file, entry.offset + 16);
        entry.height = bigEndian32(file, entry.offset + 20);
        const int type = file.u8(entry.offset + 25);
        entry.depth = file.u8(entry.offset + 24) * (type <= 6 ? channels[type] : 0);
    } else if (file.has(entry.offset, 16)) {
        entry.width = std::abs(qint64(file.i32(entry.offset + 4)));
        entry.height = std::abs(qint64(file.i32(entry.offset + 8))) / 2; // colour and mask
        entry.depth = file.u16(entry.offset + 14);
    }
    return entry;
}

[[noreturn]] void invalid(const char* why) {
    throw PlatformError(Err::InvalidPicture, QString::fromLatin1(why));
}

} // namespace

bool isIconFile(QByteArrayView head) {
    const ByteReader r(head);
    return r.has(0, 6) && r.u16(0) == 0 && (r.u16(2) == 1 || r.u16(2) == 2) && r.u16(4) > 0;
}

QImage decodeBestIcon(const QByteArray& bytes, qint64 maxPixels) {
    const ByteReader file(bytes);
    const int count = file.u16(4);
    int best = -1;
    IconEntry chosen;
    for (int i = 0; i < count && file.has(DirectoryStart + qint64(EntrySize) * i, EntrySize); ++i) {
        const IconEntry entry = readEntry(file, i);
        if (!file.has(entry.offset, 1)) continue;
        const qint64 area = entry.width * entry.height, bestArea = chosen.width * chosen.height;
        if (best >= 0 && (area < bestArea || (area == bestArea && entry.depth <= chosen.depth)))
            continue;
        best = i;
        chosen = entry;
    }
    if (best < 0) invalid("no icon image could be read");
    if (chosen.width * chosen.height > maxPixels) invalid("picture too large");
    // A one-entry icon file around the chosen image, for Qt's reader.
    const qint64 length = qMin(chosen.length, qint64(bytes.size()) - chosen.offset);
    QByteArray single = bytes.first(DirectoryStart);
    single[4] = 1;
    single[5] = 0;
    QByteArray entry = bytes.sliced(DirectoryStart + EntrySize * best, EntrySize);
    // The image's own header wins over a directory that says another size
    // (some writers give the doubled height of colours and mask).
    if (chosen.width <= 256 && chosen.height <= 256) {
        entry[0] = char(chosen.width % 256);
        entry[1] = char(chosen.height % 256);
    }
    const quint32 newLength = quint32(length), newOffset = DirectoryStart + EntrySize;
    for (int b = 0; b < 4; ++b) {
        entry[8 + b] = char(newLength >> (8 * b));
        entry[12 + b] = char(newOffset >> (8 * b));
    }
    single += entry;
    single += bytes.sliced(chosen.offset, length);
    QBuffer buffer(&single);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    const QImage image = reader.read();
    if (image.isNull()) invalid("no icon image could be read");
    return image;
}
