#include "formats/metafile/canvas/GdiCanvas.h"

#include <cmath>

namespace {

QPainterPath closedPolygon(const QPolygonF& points) {
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

// Qt's arc angle (degrees, counterclockwise on screen) of the point where
// the ray from the box's centre through p meets the ellipse.
double arcAngle(const QRectF& box, QPointF p) {
    const QPointF c = box.center();
    return std::atan2(-(p.y() - c.y()) / (box.height() / 2), (p.x() - c.x()) / (box.width() / 2)) *
           180 / M_PI;
}

} // namespace

void GdiCanvas::moveTo(QPointF p) {
    dc_.current = p;
}

void GdiCanvas::lineTo(QPointF p) {
    polylineTo(QPolygonF{p});
}

void GdiCanvas::polyline(const QPolygonF& points) {
    if (points.size() < 2) return;
    QPainterPath path;
    path.addPolygon(points);
    output(path, false, true);
}

void GdiCanvas::polylineTo(const QPolygonF& points) {
    if (points.isEmpty()) return;
    QPainterPath path(dc_.current);
    for (QPointF p : points)
        path.lineTo(p);
    output(path, false, true, true);
    dc_.current = points.last();
}

void GdiCanvas::polygon(const QPolygonF& points) {
    if (points.size() >= 2) output(closedPolygon(points), true, true);
}

void GdiCanvas::polyPolygon(const QList<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& points : polygons)
        if (points.size() >= 2) path.addPath(closedPolygon(points));
    output(path, true, true);
}

void GdiCanvas::polyBezier(const QPolygonF& points) {
    if (points.size() < 4) return;
    QPainterPath path(points[0]);
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    output(path, false, true);
}

void GdiCanvas::polyBezierTo(const QPolygonF& points) {
    if (points.size() < 3) return;
    QPainterPath path(dc_.current);
    qsizetype i = 0;
    for (; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    output(path, false, true, true);
    dc_.current = points[i - 1];
}

void GdiCanvas::rectangle(const QRectF& box) {
    QPainterPath path;
    path.addRect(box.normalized());
    output(path, true, true);
}

void GdiCanvas::roundRect(const QRectF& box, QSizeF corner) {
    const QRectF r = box.normalized();
    QPainterPath path;
    path.addRoundedRect(r, std::min(std::abs(corner.width()) / 2, r.width() / 2),
                        std::min(std::abs(corner.height()) / 2, r.height() / 2));
    output(path, true, true);
}

void GdiCanvas::ellipse(const QRectF& box) {
    QPainterPath path;
    path.addEllipse(box.normalized());
    output(path, true, true);
}

void GdiCanvas::arc(ArcKind kind, const QRectF& rawBox, QPointF start, QPointF end) {
    const QRectF box = rawBox.normalized();
    if (box.width() <= 0 || box.height() <= 0) return;
    const double from = arcAngle(box, start);
    double sweep = arcAngle(box, end) - from;
    // The direction holds on the device, so a mirroring mapping turns it.
    const bool clockwise = dc_.clockwiseArcs != (toPicture().determinant() < 0);
    if (clockwise)
        sweep = sweep >= 0 ? sweep - 360 : sweep;
    else
        sweep = sweep <= 0 ? sweep + 360 : sweep;
    QPainterPath path;
    if (kind == ArcKind::Pie)
        path.moveTo(box.center());
    else if (kind == ArcKind::ArcTo)
        path.moveTo(dc_.current); // arcTo joins it with a line
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
    const bool closed = kind == ArcKind::Chord || kind == ArcKind::Pie;
    if (closed) path.closeSubpath();
    output(path, closed, true, kind == ArcKind::ArcTo);
    if (kind == ArcKind::ArcTo) dc_.current = path.currentPosition();
}

void GdiCanvas::angleArc(QPointF center, double radius, double startDeg, double sweepDeg) {
    if (!(radius > 0) || !std::isfinite(startDeg) || !std::isfinite(sweepDeg)) return;
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path(dc_.current);
    path.arcTo(box, startDeg, std::fmod(sweepDeg, 3600.0));
    output(path, false, true, true);
    dc_.current = path.currentPosition();
}

void GdiCanvas::setPixel(QPointF p, const QColor& color) {
    const QPointF at = toPicture().map(p);
    QPainterPath dot;
    dot.addRect(std::floor(at.x()), std::floor(at.y()), 1, 1);
    surface_.fill(dot, color);
}

void GdiCanvas::fillShape(const QPainterPath& logical, const BrushSpec& brush) {
    const BrushSpec kept = dc_.brush;
    dc_.brush = brush;
    output(logical, true, false);
    dc_.brush = kept;
}
