#pragma once

#include <QByteArrayView>
#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QSize>

#include <atomic>

// TIFF read with libtiff, strip by strip or tile by tile straight into the
// picture fitted in limit (memory: the fitted picture and one band), turned
// upright by its orientation tag. Every depth of grey, RGB, palette, CMYK and
// CIE L*a*b*, integer or floating point, interleaved or in planes; other
// kinds through libtiff's RGBA reader, whole, up to maxPixels. Throws 481 for
// what cannot be read, and when the strips claim more than the file holds.
bool isTiff(QByteArrayView head);
// The size readTiff gives the picture unbounded, upright; throws 481 as it.
QSize tiffSize(QIODevice* device);
QImage readTiff(QIODevice* device, QSize limit, qint64 maxPixels,
                const std::atomic<bool>* stop = nullptr);
// A part of the upright picture scaled to target, from the bands it covers
// alone; null for the kinds read whole.
QImage readTiffPart(QIODevice* device, QRect part, QSize target,
                    const std::atomic<bool>* stop = nullptr);
