#include "formats/metafile/Metafile.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/emfplus/PlusPlayer.h"
#include "system/PlatformError.h"

#include <algorithm>
#include <cmath>

namespace {

// A metafile drawn as an image inside one: deeper nesting, or more of them
// in one picture, is hostile (a metafile may even contain itself).
constexpr int MaxNesting = 3;
constexpr int MaxNestedPictures = 16;
constexpr int MaxNestedSide = 4096;
thread_local int nesting = 0;
thread_local int nestedLeft = MaxNestedPictures;

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
    // The bounds and the stop flag hold inside; a zoomed view's part does not.
    RenderLimits inner;
    inner.maxPixels = limits.maxPixels;
    inner.maxBitmapPixels = limits.maxBitmapPixels;
    inner.maxPatternPixels = limits.maxPatternPixels;
    inner.stop = limits.stop;
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
    p.canvas().surface().image(piece, pieceToPicture, QPainter::CompositionMode_SourceOver, true);
}

} // namespace

void resetPlusNesting() {
    if (nesting == 0) nestedLeft = MaxNestedPictures;
}

bool playPlusImages(const PlusRecord& r, PlusPlayer& p) {
    if (r.type == 0x401A)
        drawImage(r, p, false);
    else if (r.type == 0x401B)
        drawImage(r, p, true);
    else
        return false;
    return true;
}
