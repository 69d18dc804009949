#include "formats/metafile/emf/EmfRecord.h"
#include "formats/metafile/canvas/GdiCanvas.h"

#include <cmath>

namespace {

std::optional<QTransform> xform(const EmfRecord& r, qint64 at) {
    double m[6];
    for (int k = 0; k < 6; ++k) {
        m[k] = r.data.f32(at + 4 * k);
        if (!std::isfinite(m[k])) return std::nullopt;
    }
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

void selectClipRegion(const EmfRecord& r, GdiCanvas& c) {
    const quint32 size = r.u(8), mode = r.u(12);
    if (size == 0) {
        if (mode == 5) c.resetClip(); // RGN_COPY of no region: no clipping
        return;
    }
    // Clip regions are in device units.
    c.combineClip(c.deviceToPicture().map(emfRegion(r.data.slice(16, size))), mode);
}

} // namespace

QPainterPath emfRegion(const ByteReader& data) {
    const qint64 count = data.u32(8);
    data.require(32, count * 16);
    QPainterPath region;
    region.setFillRule(Qt::WindingFill);
    // Combining paths of thousands of pieces is slow; their bounds will do.
    if (count > 1000) {
        region.addRect(
            QRectF(QPointF(data.i32(16), data.i32(20)), QPointF(data.i32(24), data.i32(28)))
                .normalized());
        return region;
    }
    for (qint64 k = 0; k < count; ++k) {
        const qint64 at = 32 + 16 * k;
        region.addRect(QRectF(QPointF(data.i32(at), data.i32(at + 4)),
                              QPointF(data.i32(at + 8), data.i32(at + 12)))
                           .normalized());
    }
    return region;
}

bool playEmfState(const EmfRecord& r, GdiCanvas& c) {
    DcState& dc = c.dc();
    switch (r.type) {
    case 9:
        c.setWindowExt(r.point(8));
        break;
    case 10:
        c.setWindowOrg(r.point(8));
        break;
    case 11:
        c.setViewportExt(r.point(8));
        break;
    case 12:
        c.setViewportOrg(r.point(8));
        break;
    case 17:
        c.setMapMode(int(r.u(8)));
        break;
    case 18:
        dc.opaqueBackground = r.u(8) == 2;
        break;
    case 19:
        dc.fillRule = r.u(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case 22:
        dc.textAlign = r.u(8);
        break;
    case 24:
        dc.textColor = r.color(8);
        break;
    case 25:
        dc.bkColor = r.color(8);
        break;
    case 29:
        c.excludeClip(r.rect(8));
        break;
    case 30:
        c.intersectClip(r.rect(8));
        break;
    case 31:
        c.scaleViewportExt(r.i(8), r.i(12), r.i(16), r.i(20));
        break;
    case 32:
        c.scaleWindowExt(r.i(8), r.i(12), r.i(16), r.i(20));
        break;
    case 33:
        c.saveDc();
        break;
    case 34:
        c.restoreDc(r.i(8));
        break;
    case 35:
        if (const auto t = xform(r, 8)) c.modifyWorldTransform(*t, 4);
        break;
    case 36:
        if (r.u(32) == 1)
            c.modifyWorldTransform({}, 1);
        else if (const auto t = xform(r, 8))
            c.modifyWorldTransform(*t, r.u(32));
        break;
    case 57:
        dc.clockwiseArcs = r.u(8) == 2;
        break;
    case 67:
        c.selectClipPath(r.u(8));
        break;
    case 75:
        selectClipRegion(r, c);
        break;
    default:
        return false;
    }
    return true;
}
