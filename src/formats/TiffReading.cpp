#include "formats/TiffReading.h"

#include "formats/BandScaler.h"
#include "formats/ExifOrientation.h"
#include "formats/PictureFit.h"
#include "formats/RasterReading.h"
#include "formats/TiffBands.h"
#include "formats/TiffFile.h"
#include "formats/TiffSamples.h"

#include <vector>

using libtiff::invalid;
using libtiff::tag;

namespace {

// Past any picture taken or scanned (rows of that many pixels take 64 MB).
constexpr int MaxSide = 1 << 24;

QList<QRgb> colourMap(TIFF* tif, int bits) {
    quint16 *r = nullptr, *g = nullptr, *b = nullptr;
    if (bits > 16 || !TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b)) return {};
    const int n = 1 << bits;
    bool eightBit = true; // some writers store 0..255 where 0..65535 belongs
    for (int i = 0; i < n; ++i)
        eightBit = eightBit && r[i] < 256 && g[i] < 256 && b[i] < 256;
    QList<QRgb> map;
    const int shift = eightBit ? 0 : 8;
    for (int i = 0; i < n; ++i)
        map << qRgb(r[i] >> shift, g[i] >> shift, b[i] >> shift);
    return map;
}

QSize storedSize(TIFF* tif) {
    const QSize size(int(tag<quint32>(tif, TIFFTAG_IMAGEWIDTH)),
                     int(tag<quint32>(tif, TIFFTAG_IMAGELENGTH)));
    if (size.width() <= 0 || size.height() <= 0 || size.width() > MaxSide ||
        size.height() > MaxSide)
        invalid("bad TIFF size");
    return size;
}

// The tags, as a conversion of samples; invalid when the conversion does not cover them.
TiffSamples samplesOf(TIFF* tif) {
    TiffSamples s;
    s.bits = tag<quint16>(tif, TIFFTAG_BITSPERSAMPLE);
    s.format = tag<quint16>(tif, TIFFTAG_SAMPLEFORMAT);
    s.perPixel = tag<quint16>(tif, TIFFTAG_SAMPLESPERPIXEL);
    s.separate = tag<quint16>(tif, TIFFTAG_PLANARCONFIG) == PLANARCONFIG_SEPARATE;
    const quint16 compression = tag<quint16>(tif, TIFFTAG_COMPRESSION);
    quint16 photometric = 0;
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = s.perPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    if (photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB); // the codec converts
        photometric = PHOTOMETRIC_RGB;
    }
    using C = TiffSamples::Colour;
    switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
        s.colour = C::Grey;
        break;
    case PHOTOMETRIC_MINISWHITE:
        s.colour = C::InvertedGrey;
        break;
    case PHOTOMETRIC_RGB:
        s.colour = C::Rgb, s.colours = 3;
        break;
    case PHOTOMETRIC_PALETTE:
        s.colour = C::Palette, s.palette = colourMap(tif, s.bits);
        break;
    case PHOTOMETRIC_ICCLAB:
        s.iccLab = true;
        [[fallthrough]];
    case PHOTOMETRIC_CIELAB:
        s.colour = C::Lab, s.colours = 3;
        break;
    case PHOTOMETRIC_SEPARATED:
        if (tag<quint16>(tif, TIFFTAG_INKSET) != INKSET_CMYK) return {};
        s.colour = C::Cmyk, s.colours = 4;
        break;
    default:
        s.perPixel = 0;
        return s; // left to libtiff's RGBA reader
    }
    quint16 extras = 0, *kinds = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extras, &kinds) && extras > 0 &&
        s.perPixel > s.colours)
        s.alpha = kinds[0] == EXTRASAMPLE_ASSOCALPHA || kinds[0] == EXTRASAMPLE_UNASSALPHA;
    s.premultiplied = s.alpha && kinds[0] == EXTRASAMPLE_ASSOCALPHA;
    if (s.format == 3) {
        double low = 0, high = 0;
        if (TIFFGetField(tif, TIFFTAG_SMINSAMPLEVALUE, &low) &&
            TIFFGetField(tif, TIFFTAG_SMAXSAMPLEVALUE, &high) && high > low)
            s.low = low, s.high = high;
    }
    if (!s.valid()) s.perPixel = 0;
    return s;
}

// Bitmap data that cannot be there: a strip past the end of the file, or
// fewer bytes than the picture needs even at the best compression.
void checkStrips(TIFF* tif, qint64 fileSize, qint64 rawBytes) {
    const quint32 count = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    qint64 stored = 0;
    for (quint32 i = 0; i < count; ++i) {
        const quint64 at = TIFFGetStrileOffset(tif, i), length = TIFFGetStrileByteCount(tif, i);
        if (at > quint64(fileSize) || length > quint64(fileSize) - at)
            invalid("the picture claims more data than the file holds");
        stored += qint64(length);
    }
    const quint16 compression = tag<quint16>(tif, TIFFTAG_COMPRESSION);
    // Fax coding spends a few bits on a blank row of any width: not bounded.
    const bool fax = compression == COMPRESSION_CCITTRLE || compression == COMPRESSION_CCITTFAX3 ||
                     compression == COMPRESSION_CCITTFAX4 || compression == COMPRESSION_CCITTRLEW;
    const qint64 bestRatio = compression == COMPRESSION_NONE       ? 1
                             : compression == COMPRESSION_PACKBITS ? 64
                             : fax                                 ? 0
                                                                   : 4096;
    if (bestRatio && stored * bestRatio < rawBytes)
        invalid("the picture claims more data than the file holds");
}

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
