#include "formats/TiffReading.h"

#include "formats/BandScaler.h"
#include "formats/ExifOrientation.h"
#include "formats/PictureFit.h"
#include "formats/RasterReading.h"
#include "formats/TiffBands.h"
#include "formats/TiffFile.h"
#include "formats/TiffSamples.h"
#include "formats/TiffTags.h"

#include <vector>

using libtiff::checkStrips;
using libtiff::invalid;
using libtiff::samplesOf;
using libtiff::storedSize;
using libtiff::tag;

namespace {

// What libtiff's own RGBA reader makes of the kinds read nowhere else, whole.
QImage throughRgba(TIFF* tif, QSize size, QSize limit, qint64 maxPixels) {
    char why[1024] = {};
    if (!TIFFRGBAImageOK(tif, why)) invalid("a kind of TIFF that cannot be shown");
    if (qint64(size.width()) * size.height() > maxPixels) invalid("picture too large");
    QImage image(size, QImage::Format_ARGB32);
    if (image.isNull()) invalid("out of memory");
    auto* pixels = reinterpret_cast<quint32*>(image.bits());
    if (!TIFFReadRGBAImageOriented(tif, quint32(size.width()), quint32(size.height()), pixels,
                                   ORIENTATION_TOPLEFT, 0))
        invalid("the picture cannot be read");
    for (qsizetype i = 0, n = qsizetype(size.width()) * size.height(); i < n; ++i) {
        const quint32 p = pixels[i]; // ABGR as libtiff packs it
        pixels[i] = qRgba(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p), TIFFGetA(p));
    }
    return shrunkToFit(image, limit);
}

// The whole picture fitted in limit, or an upright part of it scaled to target.
struct Wanted {
    QSize limit;
    qint64 maxPixels = 0;
    QRect part;
    QSize target;
};

QImage readWanted(QIODevice* device, const Wanted& wanted, const std::atomic<bool>* stop) {
    const libtiff::Handle tif = libtiff::open(device);
    const QSize size = storedSize(tif.get());
    const TiffSamples samples = samplesOf(tif.get());
    const bool inPart = wanted.part.isValid();
    if (samples.perPixel == 0) {
        if (inPart) return {}; // read whole or not at all
        return throughRgba(tif.get(), size, wanted.limit, wanted.maxPixels);
    }
    const qint64 planes = samples.separate ? samples.perPixel : 1;
    checkStrips(tif.get(), device->size(), TIFFScanlineSize64(tif.get()) * size.height() * planes);
    const int orientation = qBound(1, int(tag<quint16>(tif.get(), TIFFTAG_ORIENTATION)), 8);
    const bool turned = swapsSides(orientation);
    const QSize target = inPart   ? (turned ? wanted.target.transposed() : wanted.target)
                         : turned ? fittedSize(size, wanted.limit.transposed())
                                  : fittedSize(size, wanted.limit);
    if (!inPart && !wanted.limit.isValid() &&
        qint64(size.width()) * size.height() > wanted.maxPixels)
        invalid("picture too large");
    BandScaler scaler(size, target,
                      !samples.alpha          ? QImage::Format_RGB32
                      : samples.premultiplied ? QImage::Format_ARGB32_Premultiplied
                                              : QImage::Format_ARGB32,
                      inPart ? storedPart(wanted.part, size, orientation) : QRect());
    readBands(tif.get(), samples, size, scaler, stop);
    QImage image = scaler.take();
    if (image.isNull()) invalid("out of memory");
    return upright(image, orientation);
}

} // namespace

bool isTiff(QByteArrayView head) {
    return head.startsWith(QByteArrayView("II*\0", 4)) ||
           head.startsWith(QByteArrayView("MM\0*", 4)) ||
           head.startsWith(QByteArrayView("II+\0", 4)) ||
           head.startsWith(QByteArrayView("MM\0+", 4));
}

QSize tiffSize(QIODevice* device) {
    const libtiff::Handle tif = libtiff::open(device);
    const QSize size = storedSize(tif.get());
    const int orientation = qBound(1, int(tag<quint16>(tif.get(), TIFFTAG_ORIENTATION)), 8);
    return swapsSides(orientation) ? size.transposed() : size;
}

QImage readTiff(QIODevice* device, QSize limit, qint64 maxPixels, const std::atomic<bool>* stop) {
    Wanted whole;
    whole.limit = limit;
    whole.maxPixels = maxPixels;
    return readWanted(device, whole, stop);
}

QImage readTiffPart(QIODevice* device, QRect part, QSize target, const std::atomic<bool>* stop) {
    Wanted wanted;
    wanted.part = part;
    wanted.target = target;
    return readWanted(device, wanted, stop);
}
