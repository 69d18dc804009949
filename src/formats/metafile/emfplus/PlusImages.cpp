#include "formats/RasterReading.h"
#include "formats/metafile/Metafile.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/emfplus/PlusPlayer.h"
#include "system/PlatformError.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// A metafile drawn as an image inside one: deeper nesting, or more of them
// in one picture, is hostile (a metafile may even contain itself).
constexpr int MaxNesting = 3;
constexpr int MaxNestedPictures = 16;
constexpr int MaxNestedSide = 4096;
thread_local int nesting = 0;
thread_local int nestedLeft = MaxNestedPictures;

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

// How the destination is given: a rectangle, or three corners of a parallelogram.
QTransform unitToWorld(const PlusRecord& r, bool points) {
    const bool small = r.flags & Plus::Compressed;
    if (!points) {
        const QRectF d = Plus::rect(r.data, 24, small);
        return QTransform(d.width(), 0, 0, d.height(), d.left(), d.top());
    }
    if (r.u(24) != 3) throw MalformedData{};
    const QPolygonF p = Plus::points(r.data, 28, 3, r.flags);
    const QPointF x = p[1] - p[0], y = p[2] - p[0];
    return QTransform(x.x(), x.y(), y.x(), y.y(), p[0].x(), p[0].y());
}

QImage nestedPicture(const PlusImage& image, const QTransform& unitToPicture,
                     const RenderLimits& limits) {
    if (nesting >= MaxNesting || nestedLeft <= 0) return {};
    --nestedLeft;
    auto side = [](QPointF v) {
        const double length = std::hypot(v.x(), v.y());
        return std::isfinite(length)
                   ? int(std::clamp(std::ceil(length), 1.0, double(MaxNestedSide)))
                   : 1;
    };
    const QPointF o = unitToPicture.map(QPointF(0, 0));
    RenderLimits inner = limits;
    inner.fitInto = QSize(side(unitToPicture.map(QPointF(1, 0)) - o),
                          side(unitToPicture.map(QPointF(0, 1)) - o));
    ++nesting;
    QImage picture;
    try {
        picture = isEmf(image.metafile) ? renderEmf(image.metafile, inner)
                                        : renderWmf(image.metafile, inner);
    } catch (const PlatformError&) {
    }
    --nesting;
    return picture;
}

void drawImage(const PlusRecord& r, PlusPlayer& p, bool points) {
    const PlusImage* image = p.get<PlusImage>(r.objectId());
    if (!image) return;
    const QRectF source = Plus::rect(r.data, 8, false);
    const QTransform toPicture = unitToWorld(r, points) * p.worldToPicture();
    QImage piece;
    QTransform pieceToPicture;
    if (!image->bitmap.isNull()) {
        if (!(source.width() > 0 && source.height() > 0)) return;
        const QRect part = source.toAlignedRect().intersected(image->bitmap.rect());
        if (part.isEmpty()) return;
        piece = part == image->bitmap.rect() ? image->bitmap : image->bitmap.copy(part);
        pieceToPicture = QTransform::fromTranslate(part.x() - source.x(), part.y() - source.y()) *
                         QTransform::fromScale(1 / source.width(), 1 / source.height()) * toPicture;
    } else if (!image->metafile.isEmpty()) {
        piece = nestedPicture(*image, toPicture, p.limits());
        if (piece.isNull()) return;
        pieceToPicture =
            QTransform::fromScale(1.0 / piece.width(), 1.0 / piece.height()) * toPicture;
    }
    if (piece.isNull()) return;
    const QRectF area = pieceToPicture.mapRect(QRectF(piece.rect()));
    const double m = MetafileCaps::MaxCoordinate;
    if (!(area.left() > -m && area.top() > -m && area.right() < m && area.bottom() < m)) return;
    p.showClip();
    p.canvas().surface().image(piece, pieceToPicture, QPainter::CompositionMode_SourceOver);
}

} // namespace

void resetPlusNesting() {
    if (nesting == 0) nestedLeft = MaxNestedPictures;
}

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

bool playPlusImages(const PlusRecord& r, PlusPlayer& p) {
    if (r.type == 0x401A)
        drawImage(r, p, false);
    else if (r.type == 0x401B)
        drawImage(r, p, true);
    else
        return false;
    return true;
}
