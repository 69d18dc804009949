#pragma once

#include <QByteArrayView>
#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QSize>

// Windows and OS/2 bitmaps, with their file header (BMP) or without it (a
// DIB as the clipboard keeps it), read in bands of rows straight into the
// picture fitted in limit, so that memory holds the fitted picture and one
// band whatever the bitmap's size. Uncompressed and BITFIELDS bitmaps of
// every depth are read here; run-length, JPEG and PNG bitmaps are left to
// Qt's reader.
bool isBmp(QByteArrayView head);
bool isHeaderlessDib(QByteArrayView head);

// Null when the bitmap is of a kind left to Qt's reader (which needs the
// file header a DIB lacks: see withFileHeader). Throws 481 for a header that
// does not hold together or claims more rows than the file holds, and for
// more than maxPixels when limit is invalid (decoded at full size).
QImage readBitmap(QIODevice* device, QSize limit, qint64 maxPixels);

// The part of the bitmap scaled to target, reading only the rows it covers;
// null for a kind left to Qt's reader. Throws 481 as readBitmap.
QImage readBitmapPart(QIODevice* device, QRect part, QSize target);

// The bitmap's size from its headers, of any kind; throws 481 as readBitmap.
QSize bitmapSize(QIODevice* device);

// The DIB with a BMP file header in front of it.
QByteArray withFileHeader(const QByteArray& dib);
