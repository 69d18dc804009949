#include "formats/metafile/canvas/GdiCanvas.h"

#include "formats/metafile/Limits.h"
#include "formats/metafile/canvas/GdiStyles.h"

#include <QPainterPathStroker>

#include <cmath>

namespace {

// Shapes beyond any sensible picture come from broken data; Qt's rasteriser
// would only waste time on them.
constexpr double MaxDashes = 20000;
constexpr double MaxDashedWidth = 1000;

bool drawable(const QPainterPath& picture) {
    const QRectF b = picture.controlPointRect();
    const double m = MetafileCaps::MaxCoordinate;
    return std::isfinite(b.left()) && std::isfinite(b.top()) && std::isfinite(b.right()) &&
           std::isfinite(b.bottom()) && b.left() > -m && b.top() > -m && b.right() < m &&
           b.bottom() < m;
}

// Qt dashes a stroke piece by piece; millions of dashes on a huge shape, or
// dashes of a pen wider than any picture, take seconds: such strokes are solid.
QPen withBoundedDashes(QPen pen, const QPainterPath& path) {
    if (pen.style() == Qt::SolidLine) return pen;
    if (pen.widthF() > MaxDashedWidth) {
        pen.setStyle(Qt::SolidLine);
        return pen;
    }
    double pattern = 0;
    for (qreal d : pen.dashPattern())
        pattern += d;
    pattern *= std::max<qreal>(pen.widthF(), 1);
    if (!(pattern > 0) || path.length() / pattern > MaxDashes) pen.setStyle(Qt::SolidLine);
    return pen;
}

} // namespace

void GdiCanvas::output(const QPainterPath& logical, bool fill, bool stroke, bool continues) {
    if (inPath_)
        appendToPath(logical, continues);
    else
        outputPicture(toPicture().map(logical), fill, stroke, lengthScale());
}

void GdiCanvas::outputPicture(const QPainterPath& picture, bool fill, bool stroke,
                              double penScale) {
    if (picture.isEmpty() || !drawable(picture)) return;
    QPainterPath shape = picture;
    shape.setFillRule(dc_.fillRule);
    if (fill && dc_.brush.style != Gdi::BsNull) {
        // Hatches show the background colour between their lines.
        if (isHatched(dc_.brush) && dc_.opaqueBackground) surface_.fill(shape, dc_.bkColor);
        BrushSpec brush = dc_.brush;
        if (brush.monochrome && !brush.pattern.isNull())
            brush.pattern.setColorTable({dc_.textColor.rgb(), dc_.bkColor.rgb()});
        surface_.fill(shape, qtBrush(brush));
    }
    if (stroke)
        if (const auto pen = qtPen(dc_.pen, penScale))
            surface_.stroke(shape, withBoundedDashes(*pen, shape));
}

void GdiCanvas::fillPicture(const QPainterPath& picture, const QBrush& brush) {
    if (!picture.isEmpty() && drawable(picture) && brush.style() != Qt::NoBrush)
        surface_.fill(picture, brush);
}

void GdiCanvas::strokePicture(const QPainterPath& picture, const QPen& pen) {
    if (!picture.isEmpty() && drawable(picture) && pen.style() != Qt::NoPen)
        surface_.stroke(picture, withBoundedDashes(pen, picture));
}

void GdiCanvas::appendToPath(const QPainterPath& logical, bool continueFigure) {
    const QPainterPath picture = toPicture().map(logical);
    if (!drawable(picture)) return;
    if (continueFigure && !path_.isEmpty() && picture.elementCount() > 0 &&
        path_.currentPosition() == QPointF(picture.elementAt(0)))
        path_.connectPath(picture);
    else
        path_.addPath(picture);
}

void GdiCanvas::beginPath() {
    path_ = QPainterPath();
    inPath_ = true;
}

void GdiCanvas::abortPath() {
    path_ = QPainterPath();
    inPath_ = false;
}

void GdiCanvas::closeFigure() {
    if (inPath_) path_.closeSubpath();
}

void GdiCanvas::finishPath(bool fill, bool stroke) {
    inPath_ = false;
    outputPicture(path_, fill, stroke, lengthScale());
    path_ = QPainterPath();
}

void GdiCanvas::widenPath() {
    const auto pen = qtPen(dc_.pen, lengthScale());
    if (!pen || path_.isEmpty()) return;
    QPainterPathStroker stroker(withBoundedDashes(*pen, path_));
    path_ = stroker.createStroke(path_);
}

void GdiCanvas::selectClipPath(quint32 mode) {
    if (inPath_ || path_.isEmpty()) return;
    QPainterPath clip = path_;
    clip.setFillRule(dc_.fillRule);
    path_ = QPainterPath();
    combineClip(clip, mode);
}
