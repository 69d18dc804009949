#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/wmf/WmfRecord.h"

bool playWmfState(const WmfRecord& r, GdiCanvas& c) {
    DcState& dc = c.dc();
    switch (r.function) {
    case 0x001E:
        c.saveDc();
        break;
    case 0x0127:
        c.restoreDc(r.w(0));
        break;
    case 0x0102:
        dc.opaqueBackground = r.params.u16(0) == 2;
        break;
    case 0x0103:
        c.setMapMode(r.params.u16(0));
        break;
    case 0x0106:
        dc.fillRule = r.params.u16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case 0x012E:
        dc.textAlign = r.params.u16(0);
        break;
    case 0x0201:
        dc.bkColor = r.color(0);
        break;
    case 0x0209:
        dc.textColor = r.color(0);
        break;
    case 0x020B:
        c.setWindowOrg(r.yx(0));
        break;
    case 0x020C:
        c.setWindowExt(r.yx(0));
        break;
    case 0x020D:
        c.setViewportOrg(r.yx(0));
        break;
    case 0x020E:
        c.setViewportExt(r.yx(0));
        break;
    case 0x020F:
        c.setWindowOrg(dc.windowOrg + r.yx(0));
        break;
    case 0x0211:
        c.setViewportOrg(dc.viewportOrg + r.yx(0));
        break;
    case 0x0410:
        c.scaleWindowExt(r.w(3), r.w(2), r.w(1), r.w(0));
        break;
    case 0x0412:
        c.scaleViewportExt(r.w(3), r.w(2), r.w(1), r.w(0));
        break;
    case 0x0415:
        c.excludeClip(r.box(0));
        break;
    case 0x0416:
        c.intersectClip(r.box(0));
        break;
    default:
        return false;
    }
    return true;
}
