#include "formats/RasterReading.h"
#include "formats/metafile/Metafile.h"
#include "formats/metafile/emfplus/PlusObjects.h"
#include "system/PlatformError.h"

#include <QBuffer>

#include <cstdlib>
#include <cstring>

namespace {

QImage compressed(QByteArrayView bytes, qint64 maxPixels) {
    QBuffer buffer;
    buffer.setData(bytes.toByteArray());
    buffer.open(QIODevice::ReadOnly);
    try {
        return readRaster(&buffer, {}, maxPixels);
    } catch (const PlatformError&) {
        return {};
    }
}

QImage::Format qtFormat(quint32 format) {
    switch (format) {
    case 0x00030101:
        return QImage::Format_Mono;
    case 0x00030402: // 4 bits a pixel, widened to 8
    case 0x00030803:
        return QImage::Format_Indexed8;
    case 0x00021005:
        return QImage::Format_RGB555;
    case 0x00021006:
        return QImage::Format_RGB16;
    case 0x00021808:
        return QImage::Format_BGR888;
    case 0x00022009:
        return QImage::Format_RGB32;
    case 0x0026200A:
        return QImage::Format_ARGB32;
    case 0x000E200B:
        return QImage::Format_ARGB32_Premultiplied;
    default:
        return QImage::Format_Invalid;
    }
}

// Raw pixels, rows top-down, indexed ones after their palette.
QImage raw(const ByteReader& d, qint64 width, qint64 height, qint64 stride, quint32 format,
           qint64 maxPixels) {
    const QImage::Format qt = qtFormat(format);
    const int bits = int(format >> 8 & 0xFF);
    if (qt == QImage::Format_Invalid || width <= 0 || height <= 0 || width > maxPixels ||
        height > maxPixels / width)
        return {};
    qint64 at = 28;
    QList<QRgb> palette;
    if (format & 0x00010000) { // indexed
        const qint64 count = d.u32(at + 4);
        d.require(at + 8, count * 4);
        for (qint64 k = 0; k < count && k < 256; ++k)
            palette.append(d.u32(at + 8 + 4 * k));
        at += 8 + count * 4;
    }
    const qint64 rowBytes = (width * bits + 7) / 8;
    stride = std::llabs(stride);
    if (stride < rowBytes) return {};
    d.require(at, stride * height);
    QImage image(int(width), int(height), qt);
    if (image.isNull()) return {};
    if (!palette.isEmpty()) image.setColorTable(palette);
    const char* pixels = d.view().data() + at;
    for (qint64 y = 0; y < height; ++y) {
        uchar* line = image.scanLine(int(y));
        const auto* row = reinterpret_cast<const uchar*>(pixels + y * stride);
        if (bits == 4)
            for (qint64 x = 0; x < width; ++x)
                line[x] = x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
        else
            std::memcpy(line, row, size_t(rowBytes));
    }
    return image;
}

} // namespace

namespace Plus {

// EmfPlusImage: version, type, then a bitmap (size, stride, pixel format,
// raw or compressed) or a metafile (its type, size and bytes).
PlusImage image(const ByteReader& d, const RenderLimits& limits) {
    PlusImage result;
    if (d.u32(4) == 1) {
        const qint64 width = d.i32(8), height = d.i32(12);
        if (d.u32(24) == 1)
            result.bitmap = compressed(d.view().sliced(28), limits.maxBitmapPixels);
        else
            result.bitmap = raw(d, width, height, d.i32(16), d.u32(20), limits.maxBitmapPixels);
    } else if (d.u32(4) == 2) {
        const QByteArrayView bytes = d.slice(16, d.u32(12)).view();
        if (isEmf(bytes) || isWmf(bytes)) result.metafile = bytes.toByteArray();
    }
    return result;
}

} // namespace Plus
