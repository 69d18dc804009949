#include "formats/metafile/emf/EmfRecord.h"
#include "formats/metafile/canvas/GdiCanvas.h"

namespace {

// Points of 32-bit (EMR_POLYGON) or 16-bit (EMR_POLYGON16) coordinates.
QPolygonF points(const EmfRecord& r, qint64 at, qint64 count, bool small) {
    const qint64 size = small ? 4 : 8;
    r.data.require(at, count * size);
    QPolygonF result;
    result.reserve(count);
    for (qint64 k = 0; k < count; ++k, at += size)
        result.append(small ? QPointF(r.data.i16(at), r.data.i16(at + 2)) : r.point(at));
    return result;
}

QPolygonF poly(const EmfRecord& r, bool small) {
    return points(r, 28, r.u(24), small);
}

QList<QPolygonF> polyPoly(const EmfRecord& r, bool small) {
    const qint64 polygons = r.u(24), total = r.u(28);
    r.data.require(32, polygons * 4);
    qint64 at = 32 + polygons * 4, used = 0;
    r.data.require(at, total * (small ? 4 : 8));
    QList<QPolygonF> result;
    for (qint64 k = 0; k < polygons; ++k) {
        const qint64 count = r.u(32 + 4 * k);
        if (count > total - used) throw MalformedData{};
        result.append(points(r, at, count, small));
        at += count * (small ? 4 : 8);
        used += count;
    }
    return result;
}

} // namespace

bool playEmfDrawing(const EmfRecord& r, GdiCanvas& c) {
    using Arc = GdiCanvas::ArcKind;
    const bool small = r.type >= 85 && r.type <= 91;
    switch (r.type) {
    case 2:
    case 85:
        c.polyBezier(poly(r, small));
        break;
    case 3:
    case 86:
        c.polygon(poly(r, small));
        break;
    case 4:
    case 87:
        c.polyline(poly(r, small));
        break;
    case 5:
    case 88:
        c.polyBezierTo(poly(r, small));
        break;
    case 6:
    case 89:
        c.polylineTo(poly(r, small));
        break;
    case 7:
    case 90:
        for (const QPolygonF& line : polyPoly(r, small))
            c.polyline(line);
        break;
    case 8:
    case 91:
        c.polyPolygon(polyPoly(r, small));
        break;
    case 15:
        c.setPixel(r.point(8), r.color(16));
        break;
    case 27:
        c.moveTo(r.point(8));
        break;
    case 54:
        c.lineTo(r.point(8));
        break;
    case 41:
        c.angleArc(r.point(8), r.u(16), r.data.f32(20), r.data.f32(24));
        break;
    case 42:
        c.ellipse(r.rect(8));
        break;
    case 43:
        c.rectangle(r.rect(8));
        break;
    case 44:
        c.roundRect(r.rect(8), QSizeF(r.i(24), r.i(28)));
        break;
    case 45:
        c.arc(Arc::Open, r.rect(8), r.point(24), r.point(32));
        break;
    case 46:
        c.arc(Arc::Chord, r.rect(8), r.point(24), r.point(32));
        break;
    case 47:
        c.arc(Arc::Pie, r.rect(8), r.point(24), r.point(32));
        break;
    case 55:
        c.arc(Arc::ArcTo, r.rect(8), r.point(24), r.point(32));
        break;
    case 59:
        c.beginPath();
        break;
    case 60:
        c.endPath();
        break;
    case 61:
        c.closeFigure();
        break;
    case 62:
        c.fillPath();
        break;
    case 63:
        c.strokeAndFillPath();
        break;
    case 64:
        c.strokePath();
        break;
    case 65:
        break; // FlattenPath: Qt flattens as it draws
    case 66:
        c.widenPath();
        break;
    case 68:
        c.abortPath();
        break;
    case 74:
        c.fillShape(emfRegion(r.data.slice(28, r.u(24))), c.dc().brush);
        break;
    default:
        return false;
    }
    return true;
}
