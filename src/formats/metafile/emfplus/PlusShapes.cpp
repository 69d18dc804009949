#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/emfplus/PlusPlayer.h"

#include <algorithm>
#include <cmath>

namespace {

// GDI+ angles are degrees clockwise, measured on the ellipse itself; Qt's
// run counterclockwise and are parametric.
double parametric(const QRectF& box, double degrees) {
    const double a = degrees * M_PI / 180;
    return -std::atan2(std::sin(a) * box.width(), std::cos(a) * box.height()) * 180 / M_PI;
}

QPainterPath arc(const QRectF& raw, double start, double sweep, bool pie) {
    QPainterPath path;
    const QRectF box = raw.normalized();
    if (!(box.width() > 0 && box.height() > 0) || !std::isfinite(start) || !std::isfinite(sweep))
        return path;
    sweep = std::clamp(sweep, -360.0, 360.0);
    const double from = parametric(box, start);
    double turn = parametric(box, start + sweep) - from;
    if (std::abs(sweep) >= 360)
        turn = sweep > 0 ? -360 : 360;
    else if (sweep > 0 && turn > 0)
        turn -= 360;
    else if (sweep < 0 && turn < 0)
        turn += 360;
    if (pie)
        path.moveTo(box.center());
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, turn);
    if (pie) path.closeSubpath();
    return path;
}

// A cardinal spline through the points: Bezier pieces whose handles follow
// the neighbours' direction, as long as the tension says.
QPainterPath curve(const QPolygonF& pts, double tension, bool closed, qint64 first,
                   qint64 segments) {
    QPainterPath path;
    const qint64 n = pts.size();
    if (n < 2 || !std::isfinite(tension)) return path;
    const double k = tension / 3;
    auto at = [&](qint64 i) {
        return closed ? pts[(i % n + n) % n] : pts[std::clamp<qint64>(i, 0, n - 1)];
    };
    const qint64 last = closed ? n : std::min(n - 1, first + segments);
    path.moveTo(at(first));
    for (qint64 i = first; i < last; ++i)
        path.cubicTo(at(i) + (at(i + 1) - at(i - 1)) * k, at(i + 1) - (at(i + 2) - at(i)) * k,
                     at(i + 1));
    if (closed) path.closeSubpath();
    return path;
}

QPainterPath polygonPath(const QPolygonF& pts, bool closed) {
    QPainterPath path;
    path.addPolygon(pts);
    if (closed) path.closeSubpath();
    return path;
}

// Count then rectangles of 16-bit or float coordinates.
QPainterPath rects(const PlusRecord& r, qint64 at) {
    const qint64 count = r.u(at);
    const bool small = r.flags & Plus::Compressed;
    if (count > 1 << 16) throw MalformedData{}; // far more than any picture has
    r.data.require(at + 4, count * (small ? 8 : 16));
    QPainterPath path;
    for (qint64 k = 0; k < count; ++k)
        path.addRect(Plus::rect(r.data, at + 4 + k * (small ? 8 : 16), small).normalized());
    return path;
}

QPolygonF points(const PlusRecord& r, qint64 countAt) {
    return Plus::points(r.data, countAt + 4, r.u(countAt), r.flags);
}

} // namespace

bool playPlusShapes(const PlusRecord& r, PlusPlayer& p) {
    const bool small = r.flags & Plus::Compressed;
    const quint8 id = r.objectId();
    auto fill = [&](const QPainterPath& path) {
        if (const auto b = p.brush(r, r.u(0))) p.fill(path, *b);
    };
    switch (r.type) {
    case 0x4009: // Clear
        p.fillEverywhere(PlusBrush{Plus::argb(r.u(0)), {}});
        break;
    case 0x400A:
        fill(rects(r, 4));
        break;
    case 0x400B:
        p.stroke(rects(r, 0), id);
        break;
    case 0x400C:
        fill(polygonPath(points(r, 4), true));
        break;
    case 0x400D:
        p.stroke(polygonPath(points(r, 0), r.flags & Plus::Closed), id);
        break;
    case 0x400E: {
        QPainterPath path;
        path.addEllipse(Plus::rect(r.data, 4, small).normalized());
        fill(path);
        break;
    }
    case 0x400F: {
        QPainterPath path;
        path.addEllipse(Plus::rect(r.data, 0, small).normalized());
        p.stroke(path, id);
        break;
    }
    case 0x4010:
        fill(arc(Plus::rect(r.data, 12, small), r.f(4), r.f(8), true));
        break;
    case 0x4011:
    case 0x4012:
        p.stroke(arc(Plus::rect(r.data, 8, small), r.f(0), r.f(4), r.type == 0x4011), id);
        break;
    case 0x4013:
        if (const PlusRegion* region = p.get<PlusRegion>(id)) {
            if (!region->infinite)
                fill(region->area);
            else if (const auto b = p.brush(r, r.u(0)))
                p.fillEverywhere(*b);
        }
        break;
    case 0x4014:
        if (const QPainterPath* path = p.get<QPainterPath>(id)) fill(*path);
        break;
    case 0x4015:
        if (const QPainterPath* path = p.get<QPainterPath>(id)) p.stroke(*path, r.u(0));
        break;
    case 0x4016: {
        QPainterPath path = curve(points(r, 8), r.f(4), true, 0, 0);
        path.setFillRule(r.flags & Plus::Closed ? Qt::WindingFill : Qt::OddEvenFill);
        fill(path);
        break;
    }
    case 0x4017:
        p.stroke(curve(points(r, 4), r.f(0), true, 0, 0), id);
        break;
    case 0x4018:
        p.stroke(curve(points(r, 12), r.f(0), false, r.u(4), r.u(8)), id);
        break;
    case 0x4019: {
        const QPolygonF pts = points(r, 0);
        if (pts.size() < 4) break;
        QPainterPath path(pts[0]);
        for (qsizetype i = 1; i + 2 < pts.size(); i += 3)
            path.cubicTo(pts[i], pts[i + 1], pts[i + 2]);
        p.stroke(path, id);
        break;
    }
    default:
        return false;
    }
    return true;
}
