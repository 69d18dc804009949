#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>

// Decodes the picture in a file, whatever its name says; throws error 481
// when the content is no picture it can decode (53 when the file is missing).
// With a valid limit, a larger picture comes back scaled down to fit in it
// (keeping its aspect ratio), decoded or drawn at that size where it can be.
// Once stop turns true a metafile stops playing and a raster decoder's reads
// fail: what comes back (or the 481 thrown) is for a caller that has stopped
// wanting it.
QImage LoadPicture(const QString& path, QSize limit = {}, const std::atomic<bool>* stop = nullptr);

// The same decoding from bytes in memory (an embedded picture, for example):
// raster types Qt reads, OS/2 bitmaps, ICO/CUR, WMF and EMF. Throws 481.
QImage decodePicture(const QByteArray& bytes, QSize limit = {},
                     const std::atomic<bool>* stop = nullptr);
