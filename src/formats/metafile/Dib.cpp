#include "formats/metafile/Dib.h"

#include "formats/OpaqueBitmaps.h"
#include "formats/metafile/ByteReader.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdlib>
#include <cstring>

namespace {

enum Compression : quint32 {
    BiRgb = 0,
    BiRle8,
    BiRle4,
    BiBitfields,
    BiJpeg,
    BiPng,
    BiAlphaBitfields
};

struct DibHeader {
    quint32 size = 0;
    qint64 width = 0, height = 0;
    quint32 bitCount = 0, compression = BiRgb;
    qint64 infoLength = 0; // header, masks and colour table
};

DibHeader readHeader(const ByteReader& r) {
    DibHeader h;
    h.size = r.u32(0);
    qint64 colors = 0, entrySize = 4, masks = 0;
    if (h.size == 12) { // OS/2 1.x core header
        h.width = r.u16(4);
        h.height = r.u16(6);
        h.bitCount = r.u16(10);
        entrySize = 3;
    } else if (h.size >= 40 && h.size <= 124) {
        h.width = r.i32(4);
        h.height = r.i32(8);
        h.bitCount = r.u16(14);
        h.compression = r.u32(16);
        colors = r.u32(32);
        if (h.size == 40 && h.compression == BiBitfields) masks = 12;
        if (h.size == 40 && h.compression == BiAlphaBitfields) masks = 16;
    } else {
        throw MalformedData{};
    }
    if (h.bitCount <= 8 && h.bitCount > 0) {
        const qint64 full = qint64(1) << h.bitCount;
        colors = colors == 0 || colors > full ? full : colors;
    } else if (colors > 256) {
        throw MalformedData{};
    }
    h.infoLength = h.size + masks + colors * entrySize;
    return h;
}

QImage readWithQt(const QByteArray& bytes, const char* format, qint64 maxPixels) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels) return {};
    return reader.read();
}

// Qt's BMP reader does the work once the DIB has a file header again.
QImage asBmpFile(QByteArrayView info, qint64 infoLength, QByteArrayView bits, qint64 maxPixels) {
    QByteArray file;
    ByteReader(info).require(0, infoLength);
    const qint64 offset = 14 + infoLength, total = offset + bits.size();
    file.reserve(total);
    auto put32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            file.append(char(v >> (8 * i)));
    };
    file.append("BM", 2);
    put32(quint32(total));
    put32(0);
    put32(quint32(offset));
    file.append(info.data(), infoLength);
    file.append(bits.data(), bits.size());
    clearUnusedAlphaMask(file, 14);
    return readWithQt(file, "BMP", maxPixels);
}

// 32-bit BI_RGB pixels with their alpha byte, which Qt's reader drops.
QImage withAlpha(const DibHeader& h, QByteArrayView bits) {
    const qint64 rows = std::llabs(h.height), stride = h.width * 4;
    ByteReader(bits).require(0, stride * rows);
    QImage image(int(h.width), int(rows), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    for (qint64 y = 0; y < rows; ++y) {
        const qint64 row = h.height > 0 ? rows - 1 - y : y;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        const auto* source = reinterpret_cast<const uchar*>(bits.data() + row * stride);
        for (qint64 x = 0; x < h.width; ++x, source += 4) {
            const uchar a = source[3];
            line[x] = qRgba(qMin(source[2], a), qMin(source[1], a), qMin(source[0], a), a);
        }
    }
    return image;
}

} // namespace

DibImage decodeDib(QByteArrayView info, QByteArrayView bits, qint64 maxPixels, bool keepAlpha) {
    try {
        const DibHeader h = readHeader(ByteReader(info));
        const qint64 rows = std::llabs(h.height);
        if (h.width <= 0 || rows == 0 || h.width > maxPixels || rows > maxPixels / h.width)
            return {};
        DibImage dib;
        dib.bottomUp = h.height > 0;
        if (h.compression == BiJpeg || h.compression == BiPng) {
            dib.image = readWithQt(bits.toByteArray(), nullptr, maxPixels);
            dib.bottomUp = false;
        } else if (keepAlpha && h.bitCount == 32 && h.compression == BiRgb) {
            dib.image = withAlpha(h, bits);
        } else {
            dib.image = asBmpFile(info, h.infoLength, bits, maxPixels);
        }
        return dib;
    } catch (const MalformedData&) {
        return {};
    }
}

QImage decodeMonoDib(QByteArrayView info, QByteArrayView bits, qint64 maxPixels) {
    try {
        const DibHeader h = readHeader(ByteReader(info));
        const qint64 rows = std::llabs(h.height), stride = (h.width + 31) / 32 * 4;
        if (h.bitCount != 1 || h.compression != BiRgb || h.width <= 0 || rows == 0 ||
            h.width > maxPixels || rows > maxPixels / h.width)
            return {};
        ByteReader(bits).require(0, stride * rows);
        QImage image(int(h.width), int(rows), QImage::Format_Mono);
        if (image.isNull()) return image;
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (qint64 y = 0; y < rows; ++y) {
            const qint64 row = h.height > 0 ? rows - 1 - y : y;
            std::memcpy(image.scanLine(int(y)), bits.data() + row * stride,
                        size_t((h.width + 7) / 8));
        }
        return image;
    } catch (const MalformedData&) {
        return {};
    }
}

DibImage decodePackedDib(QByteArrayView packed, qint64 maxPixels) {
    try {
        const DibHeader h = readHeader(ByteReader(packed));
        ByteReader(packed).require(0, h.infoLength);
        return decodeDib(packed.first(h.infoLength), packed.sliced(h.infoLength), maxPixels);
    } catch (const MalformedData&) {
        return {};
    }
}
