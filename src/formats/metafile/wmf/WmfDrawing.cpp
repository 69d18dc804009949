#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/wmf/WmfRecord.h"

namespace {

QPolygonF points(const WmfRecord& r, qint64 at, qint64 count) {
    r.params.require(at, count * 4);
    QPolygonF result;
    result.reserve(count);
    for (qint64 i = 0; i < count; ++i)
        result.append(QPointF(r.params.i16(at + 4 * i), r.params.i16(at + 4 * i + 2)));
    return result;
}

QList<QPolygonF> polyPolygon(const WmfRecord& r) {
    const qint64 polygons = r.params.u16(0);
    r.params.require(2, polygons * 2);
    QList<QPolygonF> result;
    qint64 at = 2 + polygons * 2;
    for (qint64 i = 0; i < polygons; ++i) {
        const qint64 count = r.params.u16(2 + 2 * i);
        result.append(points(r, at, count));
        at += count * 4;
    }
    return result;
}

} // namespace

bool playWmfDrawing(const WmfRecord& r, GdiCanvas& c) {
    using Arc = GdiCanvas::ArcKind;
    switch (r.function) {
    case 0x0214:
        c.moveTo(r.yx(0));
        break;
    case 0x0213:
        c.lineTo(r.yx(0));
        break;
    case 0x0325:
        c.polyline(points(r, 2, r.params.u16(0)));
        break;
    case 0x0324:
        c.polygon(points(r, 2, r.params.u16(0)));
        break;
    case 0x0538:
        c.polyPolygon(polyPolygon(r));
        break;
    case 0x041B:
        c.rectangle(r.box(0));
        break;
    case 0x061C:
        c.roundRect(r.box(2), QSizeF(r.w(1), r.w(0)));
        break;
    case 0x0418:
        c.ellipse(r.box(0));
        break;
    case 0x0817:
        c.arc(Arc::Open, r.box(4), r.yx(2), r.yx(0));
        break;
    case 0x0830:
        c.arc(Arc::Chord, r.box(4), r.yx(2), r.yx(0));
        break;
    case 0x081A:
        c.arc(Arc::Pie, r.box(4), r.yx(2), r.yx(0));
        break;
    case 0x041F:
        c.setPixel(r.yx(2), r.color(0));
        break;
    default:
        return false;
    }
    return true;
}
