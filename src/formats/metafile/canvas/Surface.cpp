#include "formats/metafile/canvas/Surface.h"

#include "formats/metafile/Limits.h"
#include "formats/metafile/canvas/AreaCut.h"
#include "formats/metafile/canvas/RasterWork.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace {
// A shape reaching further than this beyond the picture is cut to it, less
// this margin, before Qt rasterises it: drawing within it stays Qt's own.
constexpr double Reach = 64;
constexpr double Margin = 2;
// Work the antialiasing rasteriser is left to however small the picture.
constexpr double LightWork = 1 << 20;

QRectF grown(const QRect& area, double by) {
    return QRectF(area).adjusted(-by, -by, by, by);
}
} // namespace

bool Surface::spend(double pixels) {
    if (pixels_ <= 0) return false;
    pixels_ -= qint64(std::clamp(pixels, 1.0, 1e15));
    return true;
}

double PaintSurface::covered(const QRectF& bounds) const {
    const QRectF inside = bounds.intersected(QRectF(painter_.viewport()));
    return inside.isValid() ? inside.width() * inside.height() : 0;
}

void PaintSurface::setClip(const std::optional<QPainterPath>& clip) {
    painter_.setTransform(QTransform());
    if (clip)
        painter_.setClipPath(cutToArea(*clip, grown(painter_.viewport(), Margin)));
    else
        painter_.setClipping(false);
}

void PaintSurface::fill(const QPainterPath& path, const QBrush& brush) {
    if (!spend(covered(path.boundingRect()))) return;
    painter_.setTransform(QTransform());
    if (!filledApart(path, brush)) painter_.fillPath(path, brush);
}

bool PaintSurface::filledApart(const QPainterPath& shape, const QBrush& brush) {
    const QRect area = painter_.viewport();
    const bool far = !grown(area, Reach).contains(shape.controlPointRect());
    const QPainterPath within = far ? cutToArea(shape, grown(area, Margin)) : shape;
    // Too many edges crossing each line cost the antialiasing rasteriser
    // seconds; the plain one takes such a shape in its stride.
    const bool heavy = rasterWork(within.toSubpathPolygons(), area) >
                       std::max(LightWork, double(area.width()) * area.height());
    if (!far && !heavy) return false;
    const bool smooth = painter_.testRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::Antialiasing, smooth && !heavy);
    painter_.fillPath(within, brush);
    painter_.setRenderHint(QPainter::Antialiasing, smooth);
    return true;
}

namespace {
constexpr double MaxPenWidth = 32000; // QPen refuses wider ones
} // namespace

void PaintSurface::stroke(const QPainterPath& path, const QPen& pen) {
    // A line covers its length times its width, at most its bounds.
    const double width = std::max(1.0, pen.widthF());
    const QRectF bounds = path.boundingRect().adjusted(-width, -width, width, width);
    const double length = std::isfinite(bounds.width() + bounds.height())
                              ? std::min(path.length(), 4.0 * (bounds.width() + bounds.height()))
                              : 0;
    if (!spend(std::min(covered(bounds), length * width))) return;
    painter_.setTransform(QTransform());
    // A pen wider than the picture covers it all; Qt's stroker would spend
    // seconds on the outline of a million-pixel pen.
    const QRect area = painter_.viewport();
    QPen capped = pen;
    capped.setWidthF(std::min({pen.widthF(), 2.0 * (area.width() + area.height()), MaxPenWidth}));
    // Thin lines Qt draws pixel by pixel, within the picture only; wider
    // ones it fills as outlines, which may reach far or crowd.
    if (capped.widthF() <= 1) {
        painter_.strokePath(path, capped);
        return;
    }
    QPainterPath outline = QPainterPathStroker(capped).createStroke(path);
    outline.setFillRule(Qt::WindingFill);
    if (!filledApart(outline, capped.brush())) painter_.strokePath(path, capped);
}

void PaintSurface::image(const QImage& image, const QTransform& imageToPixels,
                         QPainter::CompositionMode mode, bool smooth) {
    if (!spend(covered(imageToPixels.mapRect(QRectF(image.rect()))))) return;
    painter_.setTransform(imageToPixels);
    painter_.setCompositionMode(mode);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter_.drawImage(QPointF(0, 0), image);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void PaintSurface::text(const QString& text, const QFont& font, const QColor& color,
                        const QTransform& textToPixels) {
    const double em = QFontInfo(font).pixelSize();
    // Qt's glyph cache fails on glyphs stretched far beyond any font size or
    // squeezed below a pixel in one direction (it crashed on glyphs 2000
    // pixels wide and a tenth of one high): such text is left out.
    const double stretch = std::max(1.0, font.stretch() / 100.0);
    const double across = std::hypot(textToPixels.m11(), textToPixels.m12()) * stretch * em;
    const double down = std::hypot(textToPixels.m21(), textToPixels.m22()) * em;
    if (!(std::max(across, down) <= 4 * MetafileCaps::MaxFontPixels && std::min(across, down) >= 1))
        return;
    if (!spend(std::min(covered(QRectF(painter_.viewport())),
                        text.size() * em * em * std::abs(textToPixels.determinant()))))
        return;
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
                           QPainter::CompositionMode, bool) {
    add(imageToPixels.mapRect(QRectF(image.rect())));
}

void MeasureSurface::text(const QString& text, const QFont& font, const QColor&,
                          const QTransform& textToPixels) {
    const QFontMetricsF metrics(font);
    const QRectF box(0, -metrics.ascent(), metrics.horizontalAdvance(text), metrics.height());
    add(textToPixels.mapRect(box));
}
