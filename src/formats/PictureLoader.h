#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>

class PictureAnimation;

// Decodes the picture in a file, whatever its name says; throws error 481
// when the content is no picture it can decode (53 when the file is missing).
// With a valid limit, a larger picture comes back scaled down to fit in it
// (keeping its aspect ratio), decoded or drawn at that size where it can be:
// then no picture is too large that the format allows (TIFF and BMP are read
// in bands, JPEG at reduced size). Once stop turns true a metafile stops
// playing and a raster decoder's reads fail: what comes back (or the 481
// thrown) is for a caller that has stopped wanting it.
QImage LoadPicture(const QString& path, QSize limit = {}, const std::atomic<bool>* stop = nullptr);

// The same, and the file's animation when it holds several frames (null
// otherwise), both from the one open of the file.
struct LoadedPicture {
    QImage picture;
    std::unique_ptr<PictureAnimation> animation;
    LoadedPicture();
    LoadedPicture(LoadedPicture&&) noexcept;
    ~LoadedPicture();
};
LoadedPicture LoadPictureAndAnimation(const QString& path, QSize limit = {},
                                      const std::atomic<bool>* stop = nullptr);

// The same from a file already open on device (opened byte-exact, read from
// its start), and the size it gives the picture unbounded, upright, from the
// headers alone (invalid when they do not tell it; not for metafiles, drawn
// at any size). pictureSize leaves the device at its start.
QImage readPicture(QIODevice* device, QSize limit = {}, const std::atomic<bool>* stop = nullptr);
QSize pictureSize(QIODevice* device);
// A part of the upright picture on device scaled to target, read from the
// bands or rows it covers alone (TIFF, BMP, JPEG); null for the kinds read
// whole. Leaves the device at its start. Throws 481.
QImage readPicturePart(QIODevice* device, QRect part, QSize target,
                       const std::atomic<bool>* stop = nullptr);

// The same decoding from bytes in memory (an embedded picture, for example):
// raster types Qt reads, TIFF and BMP of every depth, DIBs without their file
// header, ICO/CUR, WMF and EMF. Throws 481.
QImage decodePicture(const QByteArray& bytes, QSize limit = {},
                     const std::atomic<bool>* stop = nullptr);
