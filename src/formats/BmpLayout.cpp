#include "formats/BmpLayout.h"

#include "formats/BmpReading.h"
#include "formats/metafile/ByteReader.h"
#include "system/PlatformError.h"

#include <cstdlib>

using namespace bmp;

namespace {

// Past any picture taken or scanned (rows of that many pixels take 64 MB).
constexpr qint64 MaxSide = 1 << 24;

[[noreturn]] void invalid(const char* why) {
    throw PlatformError(Err::InvalidPicture, QString::fromLatin1(why));
}

bool isInfoHeaderSize(quint32 size) {
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 ||
           size == 124;
}

bool validDepth(int bits) {
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 ||
           bits == 32;
}

} // namespace

namespace bmp {

bool readLayout(const QByteArray& head, qint64 fileSize, Layout& l) {
    const bool file = head.startsWith("BM");
    const qint64 info = file ? FileHeader : 0;
    const ByteReader r(head);
    const quint32 size = r.u32(info);
    if (!isInfoHeaderSize(size)) invalid("unknown bitmap header");
    if (size == 12) {
        l.width = r.u16(info + 4);
        l.height = r.u16(info + 6);
        l.bits = r.u16(info + 10);
    } else {
        l.width = r.i32(info + 4);
        l.height = r.i32(info + 8);
        l.bits = r.u16(info + 14);
        l.compression = r.u32(info + 16);
    }
    if (l.width <= 0 || l.width > MaxSide || l.height == 0 || std::llabs(l.height) > MaxSide ||
        !validDepth(l.bits))
        invalid("bad bitmap header");
    const bool os2v2 = size == 64;
    if (l.compression != BiRgb &&
        (os2v2 || (l.compression != BiBitfields && l.compression != BiAlphaBitfields) ||
         (l.bits != 16 && l.bits != 32)))
        return false;
    qint64 at = info + size;
    if (l.compression == BiRgb) {
        if (l.bits == 16) l.red = Channel(0x7c00), l.green = Channel(0x3e0), l.blue = Channel(0x1f);
        if (l.bits == 32)
            l.red = Channel(0xff0000), l.green = Channel(0xff00), l.blue = Channel(0xff);
    } else {
        // Masks follow a 40-byte header; newer headers hold them.
        const qint64 masksAt = info + 40;
        l.red = Channel(r.u32(masksAt));
        l.green = Channel(r.u32(masksAt + 4));
        l.blue = Channel(r.u32(masksAt + 8));
        const bool alphaMask = size >= 56 || l.compression == BiAlphaBitfields;
        if (alphaMask) l.alpha = Channel(r.u32(masksAt + 12));
        if (size == 40) at += l.compression == BiAlphaBitfields ? 16 : 12;
    }
    if (l.bits <= 8) {
        const int entry = size == 12 ? 3 : 4;
        qint64 count = size == 12 ? 0 : r.u32(info + 32);
        const qint64 full = qint64(1) << l.bits;
        if (count <= 0 || count > full) count = full;
        // A table may be shorter than the depth allows (OS/2 writers): the
        // rows' offset says where it ends.
        if (file && r.u32(10) > at) count = qMin(count, (qint64(r.u32(10)) - at) / entry);
        if (!r.has(at, count * entry)) invalid("colour table cut off");
        for (qint64 i = 0; i < count; ++i, at += entry)
            l.palette << qRgb(r.u8(at + 2), r.u8(at + 1), r.u8(at));
        if (l.palette.isEmpty()) invalid("no colour table");
        while (l.palette.size() < full)
            l.palette << qRgb(0, 0, 0);
    }
    l.bitsAt = file ? qint64(r.u32(10)) : at;
    const qint64 stride = (l.width * l.bits + 31) / 32 * 4;
    if (l.bitsAt < info + size || l.bitsAt > fileSize ||
        stride > (fileSize - l.bitsAt) / std::llabs(l.height))
        invalid("the bitmap claims more rows than the file holds");
    return true;
}

} // namespace bmp

bool isHeaderlessDib(QByteArrayView head) {
    const ByteReader r(head);
    if (!r.has(0, 20) || !isInfoHeaderSize(r.u32(0))) return false;
    if (r.u32(0) == 12) return r.u16(8) == 1 && validDepth(r.u16(10));
    return r.u16(12) == 1 && validDepth(r.u16(14)) && r.u32(16) <= 6 && r.i32(4) > 0;
}

bool isBmp(QByteArrayView head) {
    return (head.startsWith("BM") && head.size() >= 18 &&
            isInfoHeaderSize(ByteReader(head).u32(14))) ||
           isHeaderlessDib(head);
}

QByteArray withFileHeader(const QByteArray& dib) {
    qint64 bitsAt = 0;
    try {
        const ByteReader r(dib);
        const quint32 size = r.u32(0);
        const int bits = size == 12 ? r.u16(10) : r.u16(14);
        const quint32 compression = size == 12 ? 0 : r.u32(16);
        qint64 colours = size == 12 ? 0 : r.u32(32);
        if (bits <= 8 && (colours == 0 || colours > (1 << bits))) colours = 1 << bits;
        const qint64 masks = size == 40 ? (compression == 3 ? 12 : compression == 6 ? 16 : 0) : 0;
        bitsAt = FileHeader + size + masks + colours * (size == 12 ? 3 : 4);
    } catch (const MalformedData&) {
        invalid("bad bitmap header");
    }
    QByteArray file("BM");
    const auto put32 = [&file](quint32 v) {
        for (int i = 0; i < 4; ++i)
            file += char(v >> (8 * i));
    };
    put32(quint32(FileHeader + dib.size()));
    put32(0);
    put32(quint32(bitsAt));
    return file + dib;
}
