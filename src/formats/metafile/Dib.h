#pragma once

#include <QByteArrayView>
#include <QImage>

// A device-independent bitmap decoded for drawing.
struct DibImage {
    QImage image;         // null when the bitmap cannot be decoded
    bool bottomUp = true; // source rectangles of StretchDIBits count from the bottom then
};

// Decodes a DIB from its BITMAPINFO (header and colour table) and its bits;
// refuses bitmaps larger than maxPixels. With keepAlpha a 32-bit bitmap keeps
// its fourth byte as premultiplied alpha (AlphaBlend's source).
DibImage decodeDib(QByteArrayView info, QByteArrayView bits, qint64 maxPixels,
                   bool keepAlpha = false);

// The bits of a one-bit DIB as a monochrome image (0 and 1 bits black and
// white until the caller colours them); null when it is none.
QImage decodeMonoDib(QByteArrayView info, QByteArrayView bits, qint64 maxPixels);

// A packed DIB: the BITMAPINFO directly followed by the bits.
DibImage decodePackedDib(QByteArrayView packed, qint64 maxPixels);
