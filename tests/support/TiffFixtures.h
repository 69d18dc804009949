#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

// TIFF fixtures written with libtiff from samples we choose: a picture whose
// left half holds one pixel's samples and right half another's, in whatever
// layout asked for.
namespace TiffFixtures {

struct Layout {
    int bits = 8;
    int perPixel = 3;
    int format = 1;       // SAMPLEFORMAT: 1 unsigned, 2 signed, 3 floating point
    int photometric = 2;  // PHOTOMETRIC_*
    bool planes = false;  // PLANARCONFIG_SEPARATE
    int compression = 1;  // COMPRESSION_*
    QSize tile;           // tiled when valid
    int rowsPerStrip = 0; // 0: libtiff's default
    int orientation = 1;
    QList<quint16> colourMap; // red, green, blue entries, one after the other
    int extraSamples = 0;     // EXTRASAMPLE_* of one extra sample, or 0 for none
};

// Samples are given in the file's own units (integers as stored, or floats).
QByteArray halves(QSize size, const Layout& layout, const QList<double>& left,
                  const QList<double>& right);

// One pixel's samples where x + y is even, another's where it is odd: any
// scaling shows their mean. Contiguous samples in strips.
QByteArray checkerboard(QSize size, const Layout& layout, const QList<double>& even,
                        const QList<double>& odd);

// The picture's pixels as 8-bit RGB, stored as they are with the orientation tag given.
QByteArray ofImage(const QImage& image, int orientation);

// Streams a large picture of halves to a file without holding it: 8-bit RGB,
// deflate-compressed strips. False when it cannot be written.
bool writeLarge(const QString& path, QSize size, const QList<double>& left,
                const QList<double>& right);

} // namespace TiffFixtures
