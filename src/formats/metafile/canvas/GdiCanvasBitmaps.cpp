#include "formats/metafile/canvas/GdiCanvas.h"

#include "formats/metafile/Limits.h"

#include <cmath>
#include <optional>

namespace {

enum : quint32 {
    SrcCopy = 0x00CC0020,
    SrcPaint = 0x00EE0086,
    SrcAnd = 0x008800C6,
    SrcInvert = 0x00660046,
    SrcErase = 0x00440328,
    NotSrcCopy = 0x00330008,
    NotSrcErase = 0x001100A6,
    MergePaint = 0x00BB0226,
    PatCopy = 0x00F00021,
    Blackness = 0x00000042,
    Whiteness = 0x00FF0062,
};

// The source raster operations that Qt's raster engine has a mode for.
std::optional<QPainter::CompositionMode> compositionFor(quint32 rop) {
    switch (rop) {
    case SrcCopy:
        return QPainter::CompositionMode_SourceOver;
    case SrcPaint:
        return QPainter::RasterOp_SourceOrDestination;
    case SrcAnd:
        return QPainter::RasterOp_SourceAndDestination;
    case SrcInvert:
        return QPainter::RasterOp_SourceXorDestination;
    case SrcErase:
        return QPainter::RasterOp_SourceAndNotDestination;
    case NotSrcCopy:
        return QPainter::RasterOp_NotSource;
    case NotSrcErase:
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case MergePaint:
        return QPainter::RasterOp_NotSourceOrDestination;
    default:
        return std::nullopt;
    }
}

} // namespace

void GdiCanvas::drawBitmap(const QRectF& dest, const QImage& image, const QRectF& source,
                           quint32 rop) {
    if (inPath_ || image.isNull() || source.width() <= 0 || source.height() <= 0) return;
    const auto mode = compositionFor(rop);
    if (!mode) {
        patBlt(dest, rop);
        return;
    }
    const QRect part = source.toAlignedRect().intersected(image.rect());
    if (part.isEmpty()) return;
    const double sx = dest.width() / source.width(), sy = dest.height() / source.height();
    const QTransform imageToLogical(sx, 0, 0, sy, dest.x() + (part.x() - source.x()) * sx,
                                    dest.y() + (part.y() - source.y()) * sy);
    const QTransform imageToPicture = imageToLogical * toPicture();
    const QRectF area = imageToPicture.mapRect(QRectF(0, 0, part.width(), part.height()));
    const double m = MetafileCaps::MaxCoordinate;
    if (!(area.left() > -m && area.top() > -m && area.right() < m && area.bottom() < m)) return;
    const QImage piece = part == image.rect() ? image : image.copy(part);
    surface_.image(piece, imageToPicture, *mode, false);
}

void GdiCanvas::patBlt(const QRectF& dest, quint32 rop) {
    if (inPath_) return;
    QPainterPath box;
    box.addRect(dest.normalized());
    const QPainterPath picture = toPicture().map(box);
    BrushSpec brush;
    switch (rop) {
    case PatCopy:
        brush = dc_.brush;
        break;
    case Blackness:
        brush.color = Qt::black;
        break;
    case Whiteness:
        brush.color = Qt::white;
        break;
    default:
        return; // destination-only and pattern-combining operations are left out
    }
    const BrushSpec kept = dc_.brush;
    dc_.brush = brush;
    outputPicture(picture, true, false, 1);
    dc_.brush = kept;
}
