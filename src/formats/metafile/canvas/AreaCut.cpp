#include "formats/metafile/canvas/AreaCut.h"

#include <QPolygonF>

#include <cmath>

namespace {

// One pass of polygon clipping against an axis-parallel line: what lies
// beyond it becomes a run along it, which winds around no point inside.
template <typename Inside, typename Cross>
QPolygonF keepInside(const QPolygonF& polygon, Inside inside, Cross cross) {
    QPolygonF kept;
    if (polygon.isEmpty()) return kept;
    QPointF previous = polygon.last();
    bool previousIn = inside(previous);
    for (const QPointF& p : polygon) {
        const bool in = inside(p);
        if (in != previousIn) kept.append(cross(previous, p));
        if (in) kept.append(p);
        previous = p;
        previousIn = in;
    }
    return kept;
}

QPointF atX(QPointF a, QPointF b, double x) {
    return {x, a.y() + (x - a.x()) / (b.x() - a.x()) * (b.y() - a.y())};
}

QPointF atY(QPointF a, QPointF b, double y) {
    return {a.x() + (y - a.y()) / (b.y() - a.y()) * (b.x() - a.x()), y};
}

bool finite(const QRectF& r) {
    return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

} // namespace

QPainterPath cutToArea(const QPainterPath& shape, const QRectF& area) {
    if (area.contains(shape.controlPointRect())) return shape;
    const double left = area.left(), right = area.right();
    const double top = area.top(), bottom = area.bottom();
    QPainterPath cut;
    cut.setFillRule(shape.fillRule());
    for (QPolygonF polygon : shape.toSubpathPolygons()) {
        if (!finite(polygon.boundingRect())) continue;
        polygon = keepInside(
            polygon, [&](QPointF p) { return p.x() >= left; },
            [&](QPointF a, QPointF b) { return atX(a, b, left); });
        polygon = keepInside(
            polygon, [&](QPointF p) { return p.x() <= right; },
            [&](QPointF a, QPointF b) { return atX(a, b, right); });
        polygon = keepInside(
            polygon, [&](QPointF p) { return p.y() >= top; },
            [&](QPointF a, QPointF b) { return atY(a, b, top); });
        polygon = keepInside(
            polygon, [&](QPointF p) { return p.y() <= bottom; },
            [&](QPointF a, QPointF b) { return atY(a, b, bottom); });
        if (polygon.size() < 3) continue;
        cut.addPolygon(polygon);
        cut.closeSubpath();
    }
    return cut;
}
