#include "formats/metafile/Dib.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/wmf/WmfRecord.h"

#include <cstring>

namespace {

// Source rectangles of StretchDIBits count rows from a bottom-up DIB's bottom.
QRectF sourceRect(const DibImage& dib, double x, double y, double w, double h, bool fromBottom) {
    if (fromBottom && dib.bottomUp) y = dib.image.height() - y - h;
    return QRectF(x, y, w, h);
}

void blit(const WmfRecord& r, GdiCanvas& c, const RenderLimits& limits, qint64 dibAt,
          const QRectF& dest, double sx, double sy, double sw, double sh, bool fromBottom) {
    const DibImage dib = decodePackedDib(r.params.view().sliced(dibAt), limits.maxBitmapPixels);
    c.drawBitmap(dest, dib.image, sourceRect(dib, sx, sy, sw, sh, fromBottom), r.u32(0));
}

// An old device-dependent bitmap (Bitmap16): type, size, bytes a row, planes
// and bits a pixel, then rows top-down. Monochrome ones, the usual kind,
// show their 0 bits in the text colour and their 1 bits in the background
// colour; deeper ones are the device's own BGR pixels.
QImage bitmap16(const ByteReader& b, const GdiCanvas& c, qint64 maxPixels) {
    const qint64 width = b.i16(2), height = b.i16(4), stride = b.i16(6);
    const int bits = b.u8(9);
    const QImage::Format format = bits == 1    ? QImage::Format_Mono
                                  : bits == 24 ? QImage::Format_BGR888
                                  : bits == 32 ? QImage::Format_RGB32
                                               : QImage::Format_Invalid;
    if (format == QImage::Format_Invalid || b.u8(8) != 1 || width <= 0 || height <= 0 ||
        width > maxPixels / height || stride < (width * bits + 7) / 8)
        return {};
    b.require(10, stride * height);
    QImage image(int(width), int(height), format);
    if (image.isNull()) return image;
    if (bits == 1) image.setColorTable({c.dc().textColor.rgb(), c.dc().bkColor.rgb()});
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(image.scanLine(int(y)), b.view().data() + 10 + y * stride,
                    size_t((width * bits + 7) / 8));
    return image;
}

void blitBitmap16(const WmfRecord& r, GdiCanvas& c, const RenderLimits& limits, qint64 at,
                  const QRectF& dest, const QRectF& source) {
    const QImage image =
        bitmap16(r.params.slice(at, r.params.size() - at), c, limits.maxBitmapPixels);
    c.drawBitmap(dest, image, source, r.u32(0));
}

} // namespace

bool playWmfBitmap(const WmfRecord& r, GdiCanvas& c, const RenderLimits& limits) {
    switch (r.function) {
    case 0x061D: // PatBlt: rop, height, width, y, x
        c.patBlt(QRectF(r.w(5), r.w(4), r.w(3), r.w(2)), r.u32(0));
        break;
    case 0x0F43: // StretchDIB: rop, usage, source h w y x, dest h w y x, DIB
        if (r.params.u16(4) != 0) break; // palette-indexed colours: no palette to look in
        r.params.require(0, 22);
        blit(r, c, limits, 22, QRectF(r.w(10), r.w(9), r.w(8), r.w(7)), r.w(6), r.w(5), r.w(4),
             r.w(3), true);
        break;
    case 0x0B41: // DIBStretchBlt: rop, source h w y x, dest h w y x, DIB
    case 0x0B23: // StretchBlt
        if (r.withoutBitmap())
            c.patBlt(QRectF(r.w(10), r.w(9), r.w(8), r.w(7)), r.u32(0));
        else if (r.function == 0x0B41)
            blit(r, c, limits, 20, QRectF(r.w(9), r.w(8), r.w(7), r.w(6)), r.w(5), r.w(4), r.w(3),
                 r.w(2), false);
        else
            blitBitmap16(r, c, limits, 20, QRectF(r.w(9), r.w(8), r.w(7), r.w(6)),
                         QRectF(r.w(5), r.w(4), r.w(3), r.w(2)));
        break;
    case 0x0940: // DIBBitBlt: rop, source y x, height, width, dest y x, DIB
    case 0x0922: // BitBlt
        if (r.withoutBitmap())
            c.patBlt(QRectF(r.w(8), r.w(7), r.w(6), r.w(5)), r.u32(0));
        else if (r.function == 0x0940)
            blit(r, c, limits, 16, QRectF(r.w(7), r.w(6), r.w(5), r.w(4)), r.w(3), r.w(2), r.w(5),
                 r.w(4), false);
        else
            blitBitmap16(r, c, limits, 16, QRectF(r.w(7), r.w(6), r.w(5), r.w(4)),
                         QRectF(r.w(3), r.w(2), r.w(5), r.w(4)));
        break;
    case 0x0D33: { // SetDIBitsToDevice: usage, scans, start, source y x, h, w, dest y x, DIB
        if (r.params.u16(0) != 0) break;
        r.params.require(0, 18);
        const DibImage dib = decodePackedDib(r.params.view().sliced(18), limits.maxBitmapPixels);
        const QRectF dest(r.w(8), r.w(7), r.w(6), r.w(5));
        c.drawBitmap(dest, dib.image, sourceRect(dib, r.w(4), r.w(3), r.w(6), r.w(5), true),
                     0x00CC0020);
        break;
    }
    default:
        return false;
    }
    return true;
}
