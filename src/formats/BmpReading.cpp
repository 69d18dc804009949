#include "formats/BmpReading.h"

#include "formats/BandScaler.h"
#include "formats/BmpLayout.h"
#include "formats/PictureFit.h"
#include "formats/metafile/ByteReader.h"
#include "system/PlatformError.h"

#include <cstdlib>
#include <vector>

using namespace bmp;

namespace {

constexpr qint64 BandBytes = 4 << 20;

[[noreturn]] void invalid(const char* why) {
    throw PlatformError(Err::InvalidPicture, QString::fromLatin1(why));
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

// The headers; false for a kind left to Qt's reader (its size is known all the same).
bool layoutOf(QIODevice* device, Layout& l) {
    try {
        return readLayout(device->peek(FileHeader + 124 + 16 + 256 * 4), device->size(), l);
    } catch (const MalformedData&) {
        invalid("bitmap header cut off");
    }
}

// The part of the bitmap scaled to target, from the rows it covers alone.
QImage readRows(QIODevice* device, const Layout& l, QRect part, QSize target) {
    const QSize size(int(l.width), int(std::llabs(l.height)));
    const bool opaque = !l.alpha.mask;
    BandScaler scaler(size, target, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32, part);
    const qint64 stride = (l.width * l.bits + 31) / 32 * 4;
    const qint64 bandRows = qMax<qint64>(1, BandBytes / stride);
    std::vector<uchar> band(size_t(stride * qMin<qint64>(bandRows, size.height())));
    std::vector<QRgb> row(size_t(l.width));
    // Stored rows run bottom up unless the height is negative.
    const auto shownAt = [&](qint64 stored) {
        return l.height > 0 ? size.height() - 1 - stored : stored;
    };
    qint64 from = 0, to = size.height();
    while (from < to && !scaler.wants(shownAt(from), 1))
        ++from;
    while (to > from && !scaler.wants(shownAt(to - 1), 1))
        --to;
    if (!device->seek(l.bitsAt + from * stride)) invalid("cannot reach the bitmap's rows");
    for (qint64 first = from; first < to; first += bandRows) {
        const qint64 rows = qMin<qint64>(bandRows, to - first);
        if (device->read(reinterpret_cast<char*>(band.data()), rows * stride) != rows * stride)
            invalid("the bitmap's rows are cut off");
        for (qint64 i = 0; i < rows; ++i) {
            convertRow(l, band.data() + i * stride, row.data());
            scaler.addRow(int(shownAt(first + i)), row.data());
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

} // namespace

QSize bitmapSize(QIODevice* device) {
    Layout l;
    layoutOf(device, l);
    return QSize(int(l.width), int(std::llabs(l.height)));
}

QImage readBitmap(QIODevice* device, QSize limit, qint64 maxPixels) {
    Layout l;
    if (!layoutOf(device, l)) return {};
    const QSize size(int(l.width), int(std::llabs(l.height)));
    if (!limit.isValid() && l.width * std::llabs(l.height) > maxPixels)
        invalid("picture too large");
    return readRows(device, l, {}, fittedSize(size, limit));
}

QImage readBitmapPart(QIODevice* device, QRect part, QSize target) {
    Layout l;
    if (!layoutOf(device, l)) return {};
    return readRows(device, l, part, target);
}
