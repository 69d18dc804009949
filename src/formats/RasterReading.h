#pragma once

#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QSize>

// Reads a picture with Qt's decoders, known by its content, never by its name;
// a JPEG is turned upright by its EXIF orientation. With a valid limit the
// picture comes back no larger than fits in it: a JPEG is decoded at reduced
// size, anything else is scaled down smoothly after decoding. Throws 481 for
// what cannot be read, and for pictures of more than maxPixels (but for a
// JPEG decoded reduced).
QImage readRaster(QIODevice* device, QSize limit, qint64 maxPixels);

// A part of the upright picture scaled to target, where the decoder reads no
// more than the part (a JPEG's rows are read and only the part kept); null for
// kinds Qt decodes whole. Throws 481 as readRaster.
QImage readRasterPart(QIODevice* device, QRect part, QSize target);

// The size readRaster gives the picture unbounded (a JPEG upright), from its
// headers alone; invalid when Qt's readers cannot tell it.
QSize rasterSize(QIODevice* device);

// The picture scaled down smoothly to fit in limit; unchanged if it does.
QImage shrunkToFit(const QImage& picture, QSize limit);
