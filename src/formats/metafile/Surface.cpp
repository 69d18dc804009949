#include "formats/metafile/Surface.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

void PaintSurface::setClip(const std::optional<QPainterPath>& clip) {
    painter_.setTransform(QTransform());
    if (clip)
        painter_.setClipPath(*clip);
    else
        painter_.setClipping(false);
}

void PaintSurface::fill(const QPainterPath& path, const QBrush& brush) {
    painter_.setTransform(QTransform());
    painter_.fillPath(path, brush);
}

namespace {
constexpr double MaxPenWidth = 32000; // QPen refuses wider ones
} // namespace

void PaintSurface::stroke(const QPainterPath& path, const QPen& pen) {
    painter_.setTransform(QTransform());
    // A pen wider than the picture covers it all; Qt's stroker would spend
    // seconds on the outline of a million-pixel pen.
    const QRect area = painter_.viewport();
    const double widest = std::min(2.0 * (area.width() + area.height()), MaxPenWidth);
    if (pen.widthF() <= widest) {
        painter_.strokePath(path, pen);
    } else {
        QPen capped = pen;
        capped.setWidthF(widest);
        painter_.strokePath(path, capped);
    }
}

void PaintSurface::image(const QImage& image, const QTransform& imageToPixels,
                         QPainter::CompositionMode mode) {
    painter_.setTransform(imageToPixels);
    painter_.setCompositionMode(mode);
    painter_.drawImage(QPointF(0, 0), image);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PaintSurface::text(const QString& text, const QFont& font, const QColor& color,
                        const QTransform& textToPixels) {
    painter_.setTransform(textToPixels);
    painter_.setFont(font);
    painter_.setPen(color);
    painter_.drawText(QPointF(0, 0), text);
}

void MeasureSurface::add(QRectF rect) {
    if (!std::isfinite(rect.left()) || !std::isfinite(rect.top()) || !std::isfinite(rect.width()) ||
        !std::isfinite(rect.height()))
        return;
    if (clip_) rect = rect.intersected(*clip_);
    if (rect.width() <= 0 && rect.height() <= 0) return;
    bounds_ = bounds_.isNull() ? rect : bounds_.united(rect);
}

void MeasureSurface::setClip(const std::optional<QPainterPath>& clip) {
    clip_ = clip ? std::optional<QRectF>(clip->boundingRect()) : std::nullopt;
}

void MeasureSurface::fill(const QPainterPath& path, const QBrush&) {
    add(path.boundingRect());
}

void MeasureSurface::stroke(const QPainterPath& path, const QPen& pen) {
    const qreal half = pen.isCosmetic() ? 0.5 : qMax<qreal>(pen.widthF(), 1) / 2;
    add(path.boundingRect().adjusted(-half, -half, half, half));
}

void MeasureSurface::image(const QImage& image, const QTransform& imageToPixels,
                           QPainter::CompositionMode) {
    add(imageToPixels.mapRect(QRectF(image.rect())));
}

void MeasureSurface::text(const QString& text, const QFont& font, const QColor&,
                          const QTransform& textToPixels) {
    const QFontMetricsF metrics(font);
    const QRectF box(0, -metrics.ascent(), metrics.horizontalAdvance(text), metrics.height());
    add(textToPixels.mapRect(box));
}
