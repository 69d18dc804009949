#include "formats/BmpReading.h"

#include "formats/BandScaler.h"
#include "formats/PictureFit.h"
#include "formats/metafile/ByteReader.h"
#include "system/PlatformError.h"

#include <QList>

#include <bit>
#include <cstdlib>
#include <vector>

namespace {

constexpr qint64 FileHeader = 14, BandBytes = 4 << 20;
// Past any picture taken or scanned (rows of that many pixels take 64 MB).
constexpr qint64 MaxSide = 1 << 24;
enum : quint32 { BiRgb = 0, BiBitfields = 3, BiAlphaBitfields = 6 };

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

// A colour channel: where it sits in a pixel and how to bring it to 0..255.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;
    explicit Channel(quint32 m = 0) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    // Full range: the largest value the channel holds is 255.
    uint operator()(quint32 pixel) const {
        if (!mask) return 0;
        const quint32 v = (pixel & mask) >> shift;
        return max == 255 ? v : uint((quint64(v) * 255 + max / 2) / max);
    }
};

struct Layout {
    qint64 width = 0, height = 0; // height < 0: rows top down
    int bits = 0;
    quint32 compression = BiRgb;
    qint64 bitsAt = 0; // where the rows start in the device
    Channel red, green, blue, alpha;
    QList<QRgb> palette;
};

// Reads the headers at the start of the device: the file header when there
// is one, the info header, its colour masks and its colour table.
// False for a kind this reader leaves to Qt's.
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

void convertRow(const Layout& l, const uchar* s, QRgb* out) {
    const qint64 w = l.width;
    switch (l.bits) {
    case 24:
        for (qint64 x = 0; x < w; ++x, s += 3)
            out[x] = 0xff000000u | uint(s[2]) << 16 | uint(s[1]) << 8 | s[0];
        return;
    case 32:
        if (l.compression == BiRgb) {
            for (qint64 x = 0; x < w; ++x, s += 4)
                out[x] = 0xff000000u | uint(s[2]) << 16 | uint(s[1]) << 8 | s[0];
            return;
        }
        [[fallthrough]];
    case 16:
        for (qint64 x = 0; x < w; ++x) {
            const quint32 p = l.bits == 16
                                  ? quint32(s[2 * x] | s[2 * x + 1] << 8)
                                  : quint32(s[4 * x]) | quint32(s[4 * x + 1]) << 8 |
                                        quint32(s[4 * x + 2]) << 16 | quint32(s[4 * x + 3]) << 24;
            out[x] = (l.alpha.mask ? l.alpha(p) : 255u) << 24 | l.red(p) << 16 | l.green(p) << 8 |
                     l.blue(p);
        }
        return;
    default: { // 1, 2, 4 or 8 bits: indices into the colour table, first pixel highest
        const int bits = l.bits, perByte = 8 / bits;
        const uint mask = (1u << bits) - 1;
        for (qint64 x = 0; x < w; ++x) {
            const int shift = 8 - bits * (1 + int(x % perByte));
            out[x] = l.palette[(s[x / perByte] >> shift) & mask];
        }
    }
    }
}

} // namespace

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

QImage readBitmap(QIODevice* device, QSize limit, qint64 maxPixels) {
    Layout l;
    try {
        if (!readLayout(device->peek(FileHeader + 124 + 16 + 256 * 4), device->size(), l))
            return {};
    } catch (const MalformedData&) {
        invalid("bitmap header cut off");
    }
    const QSize size(int(l.width), int(std::llabs(l.height)));
    if (!limit.isValid() && l.width * std::llabs(l.height) > maxPixels)
        invalid("picture too large");
    const QSize target = fittedSize(size, limit);
    const bool opaque = !l.alpha.mask;
    BandScaler scaler(size, target, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    const qint64 stride = (l.width * l.bits + 31) / 32 * 4;
    const qint64 bandRows = qMax<qint64>(1, BandBytes / stride);
    std::vector<uchar> band(size_t(stride * qMin<qint64>(bandRows, size.height())));
    std::vector<QRgb> row(size_t(l.width));
    if (!device->seek(l.bitsAt)) invalid("cannot reach the bitmap's rows");
    for (qint64 first = 0; first < size.height(); first += bandRows) {
        const qint64 rows = qMin<qint64>(bandRows, size.height() - first);
        if (device->read(reinterpret_cast<char*>(band.data()), rows * stride) != rows * stride)
            invalid("the bitmap's rows are cut off");
        for (qint64 i = 0; i < rows; ++i) {
            convertRow(l, band.data() + i * stride, row.data());
            const qint64 stored = first + i;
            scaler.addRow(int(l.height > 0 ? size.height() - 1 - stored : stored), row.data());
        }
    }
    QImage image = scaler.take();
    if (image.isNull()) invalid("out of memory");
    if (!opaque) { // every alpha 0: a writer that left the channel unused
        bool anySeen = false;
        for (int y = 0; y < image.height() && !anySeen; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width() && !anySeen; ++x)
                anySeen = qAlpha(line[x]) != 0;
        }
        if (!anySeen) image = image.convertToFormat(QImage::Format_RGB32);
    }
    return image;
}
