#include "formats/metafile/Dib.h"
#include "formats/metafile/emf/EmfRecord.h"
#include "formats/metafile/canvas/GdiCanvas.h"

#include <QPainter>

namespace {

constexpr quint32 SrcCopy = 0x00CC0020;

DibImage dib(const EmfRecord& r, qint64 bmiAt, const RenderLimits& limits, bool alpha = false) {
    // offBmi, cbBmi, offBits, cbBits follow each other in every blit record
    return decodeDib(r.block(bmiAt, bmiAt + 4), r.block(bmiAt + 8, bmiAt + 12),
                     limits.maxBitmapPixels, alpha);
}

QRectF fromBottom(const DibImage& d, QRectF source) {
    if (d.bottomUp) source.moveTop(d.image.height() - source.top() - source.height());
    return source;
}

// BitBlt, StretchBlt: a source of the playing device; no bitmap means a pattern fill.
void blit(const EmfRecord& r, GdiCanvas& c, const RenderLimits& limits, bool stretch) {
    const QRectF dest(r.point(24), QSizeF(r.i(32), r.i(36)));
    if (r.u(88) == 0) {
        c.patBlt(dest, r.u(40));
        return;
    }
    if (r.u(80) != 0) return; // palette-indexed colours
    const QSizeF size = stretch ? QSizeF(r.i(100), r.i(104)) : dest.size();
    c.drawBitmap(dest, dib(r, 84, limits).image, QRectF(r.point(44), size), r.u(40));
}

void stretchDibits(const EmfRecord& r, GdiCanvas& c, const RenderLimits& limits) {
    if (r.u(64) != 0) return;
    const DibImage d = dib(r, 48, limits);
    const QRectF source(r.point(32), QSizeF(r.i(40), r.i(44)));
    c.drawBitmap(QRectF(r.point(24), QSizeF(r.i(72), r.i(76))), d.image, fromBottom(d, source),
                 r.u(68));
}

void setDibitsToDevice(const EmfRecord& r, GdiCanvas& c, const RenderLimits& limits) {
    if (r.u(64) != 0) return;
    const DibImage d = dib(r, 48, limits);
    const QSizeF size(r.i(40), r.i(44));
    c.drawBitmap(QRectF(r.point(24), size), d.image, fromBottom(d, QRectF(r.point(32), size)),
                 SrcCopy);
}

void alphaBlend(const EmfRecord& r, GdiCanvas& c, const RenderLimits& limits) {
    if (r.u(80) != 0 || r.u(88) == 0) return;
    const int constantAlpha = r.data.u8(42);
    const bool perPixel = r.data.u8(43) & 1; // AC_SRC_ALPHA
    DibImage d = dib(r, 84, limits, perPixel);
    if (d.image.isNull() || constantAlpha == 0) return;
    if (constantAlpha < 255) {
        d.image = d.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter fade(&d.image);
        fade.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        fade.fillRect(d.image.rect(), QColor(0, 0, 0, constantAlpha));
    }
    const QRectF source(r.point(44), QSizeF(r.i(100), r.i(104)));
    c.drawBitmap(QRectF(r.point(24), QSizeF(r.i(32), r.i(36))), d.image, source, SrcCopy);
}

} // namespace

bool playEmfBitmap(const EmfRecord& r, GdiCanvas& c, const RenderLimits& limits) {
    switch (r.type) {
    case 76:
        blit(r, c, limits, false);
        break;
    case 77:
        blit(r, c, limits, true);
        break;
    case 80:
        setDibitsToDevice(r, c, limits);
        break;
    case 81:
        stretchDibits(r, c, limits);
        break;
    case 114:
        alphaBlend(r, c, limits);
        break;
    default:
        return false;
    }
    return true;
}
