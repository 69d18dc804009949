#include "formats/TiffReading.h"

#include "formats/BandScaler.h"
#include "formats/ExifOrientation.h"
#include "formats/PictureFit.h"
#include "formats/RasterReading.h"
#include "formats/TiffSamples.h"
#include "system/PlatformError.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Largest band read at once: a strip of planes that big is refused.
constexpr qint64 MaxBandBytes = 512LL << 20;
// Past any picture taken or scanned (rows of that many pixels take 64 MB).
constexpr int MaxSide = 1 << 24;

[[noreturn]] void invalid(const char* why) {
    throw PlatformError(Err::InvalidPicture, QString::fromLatin1(why));
}

QIODevice* deviceOf(thandle_t h) {
    return static_cast<QIODevice*>(h);
}
tmsize_t readProc(thandle_t h, void* data, tmsize_t size) {
    return tmsize_t(deviceOf(h)->read(static_cast<char*>(data), size));
}
tmsize_t writeProc(thandle_t, void*, tmsize_t) {
    return -1;
}
toff_t seekProc(thandle_t h, toff_t offset, int whence) {
    QIODevice* d = deviceOf(h);
    const qint64 base = whence == SEEK_CUR ? d->pos() : whence == SEEK_END ? d->size() : 0;
    const qint64 to = base + qint64(offset);
    return to >= 0 && d->seek(to) ? toff_t(to) : toff_t(-1);
}
int closeProc(thandle_t) {
    return 0;
}
toff_t sizeProc(thandle_t h) {
    return toff_t(deviceOf(h)->size());
}
int mapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void unmapProc(thandle_t, void*, toff_t) {}
int quietly(TIFF*, void*, const char*, const char*, va_list) {
    return 1; // a damaged file is reported as 481, not on the console
}

struct Closer {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using Tiff = std::unique_ptr<TIFF, Closer>;

Tiff open(QIODevice* device) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, quietly, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quietly, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, MaxBandBytes);
    Tiff tif(TIFFClientOpenExt("picture", "rm", device, readProc, writeProc, seekProc, closeProc,
                               sizeProc, mapProc, unmapProc, options));
    TIFFOpenOptionsFree(options);
    if (!tif) invalid("no TIFF directory could be read");
    return tif;
}

template <class T> T tag(TIFF* tif, ttag_t which) {
    T value{};
    TIFFGetFieldDefaulted(tif, which, &value);
    return value;
}

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

} // namespace

namespace {

// Feeds the stored rows, top to bottom, to the scaler, one band at a time.
class BandReader {
  public:
    BandReader(TIFF* tif, const TiffSamples& samples, QSize size)
        : tif_(tif), samples_(samples), size_(size),
          planes_(samples.separate ? samples.perPixel : 1) {}

    void readInto(BandScaler& scaler, const std::atomic<bool>* stop) {
        std::vector<QRgb> row(size_t(size_.width()));
        if (TIFFIsTiled(tif_)) return tiles(scaler, row, stop);
        if (!samples_.separate) { // libtiff reads a strip's rows one by one, in order
            std::vector<uchar> line(size_t(TIFFScanlineSize64(tif_)));
            for (int y = 0; y < size_.height(); ++y) {
                if (stop && *stop) invalid("stopped");
                if (TIFFReadScanline(tif_, line.data(), quint32(y), 0) < 0)
                    invalid("a strip cannot be read");
                const uchar* planes[] = {line.data()};
                samples_.convert(planes, size_.width(), row.data());
                scaler.addRow(y, row.data());
            }
            return;
        }
        const qint64 rowsPerStrip =
            std::clamp<qint64>(tag<quint32>(tif_, TIFFTAG_ROWSPERSTRIP), 1, size_.height());
        const qint64 line = TIFFScanlineSize64(tif_), strips = TIFFNumberOfStrips(tif_) / planes_;
        if (line <= 0 || rowsPerStrip * line * planes_ > MaxBandBytes) invalid("strips too large");
        std::vector<std::vector<uchar>> band(size_t(planes_),
                                             std::vector<uchar>(size_t(rowsPerStrip * line)));
        for (qint64 s = 0; s < strips; ++s) {
            if (stop && *stop) invalid("stopped");
            const qint64 first = s * rowsPerStrip,
                         rows = qMin(rowsPerStrip, size_.height() - first);
            for (int p = 0; p < planes_; ++p)
                if (TIFFReadEncodedStrip(tif_, quint32(p * strips + s), band[size_t(p)].data(),
                                         tmsize_t(rows * line)) < rows * line)
                    invalid("a strip cannot be read");
            emitRows(scaler, band, first, rows, line, row);
        }
    }

  private:
    void tiles(BandScaler& scaler, std::vector<QRgb>& row, const std::atomic<bool>* stop) {
        const qint64 tileWidth = tag<quint32>(tif_, TIFFTAG_TILEWIDTH);
        const qint64 tileHeight = tag<quint32>(tif_, TIFFTAG_TILELENGTH);
        const qint64 tileRow = TIFFTileRowSize64(tif_), tileBytes = TIFFTileSize64(tif_);
        if (tileWidth <= 0 || tileHeight <= 0 || tileRow <= 0) invalid("bad tiles");
        const qint64 across = (size_.width() + tileWidth - 1) / tileWidth;
        const qint64 line = across * tileRow;
        if (line * tileHeight * planes_ + tileBytes > MaxBandBytes) invalid("tiles too large");
        std::vector<std::vector<uchar>> band(size_t(planes_),
                                             std::vector<uchar>(size_t(line * tileHeight)));
        std::vector<uchar> tile(static_cast<size_t>(tileBytes));
        for (qint64 top = 0; top < size_.height(); top += tileHeight) {
            for (int p = 0; p < planes_; ++p) {
                for (qint64 t = 0; t < across; ++t) {
                    if (stop && *stop) invalid("stopped");
                    if (TIFFReadTile(tif_, tile.data(), quint32(t * tileWidth), quint32(top), 0,
                                     quint16(p)) < 0)
                        invalid("a tile cannot be read");
                    for (qint64 y = 0; y < tileHeight; ++y)
                        std::memcpy(band[size_t(p)].data() + y * line + t * tileRow,
                                    tile.data() + y * tileRow, size_t(tileRow));
                }
            }
            emitRows(scaler, band, top, qMin(tileHeight, size_.height() - top), line, row);
        }
    }

    void emitRows(BandScaler& scaler, const std::vector<std::vector<uchar>>& band, qint64 first,
                  qint64 rows, qint64 line, std::vector<QRgb>& row) {
        std::vector<const uchar*> planes(static_cast<size_t>(planes_));
        for (qint64 y = 0; y < rows; ++y) {
            for (int p = 0; p < planes_; ++p)
                planes[size_t(p)] = band[size_t(p)].data() + y * line;
            samples_.convert(planes.data(), size_.width(), row.data());
            scaler.addRow(int(first + y), row.data());
        }
    }

    TIFF* tif_;
    const TiffSamples& samples_;
    QSize size_;
    int planes_;
};

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

} // namespace

bool isTiff(QByteArrayView head) {
    return head.startsWith(QByteArrayView("II*\0", 4)) ||
           head.startsWith(QByteArrayView("MM\0*", 4)) ||
           head.startsWith(QByteArrayView("II+\0", 4)) ||
           head.startsWith(QByteArrayView("MM\0+", 4));
}

QImage readTiff(QIODevice* device, QSize limit, qint64 maxPixels, const std::atomic<bool>* stop) {
    const Tiff tif = open(device);
    const QSize size(int(tag<quint32>(tif.get(), TIFFTAG_IMAGEWIDTH)),
                     int(tag<quint32>(tif.get(), TIFFTAG_IMAGELENGTH)));
    if (size.width() <= 0 || size.height() <= 0 || size.width() > MaxSide ||
        size.height() > MaxSide)
        invalid("bad TIFF size");
    const TiffSamples samples = samplesOf(tif.get());
    if (samples.perPixel == 0) return throughRgba(tif.get(), size, limit, maxPixels);
    const qint64 planes = samples.separate ? samples.perPixel : 1;
    checkStrips(tif.get(), device->size(), TIFFScanlineSize64(tif.get()) * size.height() * planes);
    const int orientation = qBound(1, int(tag<quint16>(tif.get(), TIFFTAG_ORIENTATION)), 8);
    const QSize target = fittedSize(size, swapsSides(orientation) ? limit.transposed() : limit);
    if (!limit.isValid() && qint64(size.width()) * size.height() > maxPixels)
        invalid("picture too large");
    BandScaler scaler(size, target,
                      !samples.alpha          ? QImage::Format_RGB32
                      : samples.premultiplied ? QImage::Format_ARGB32_Premultiplied
                                              : QImage::Format_ARGB32);
    BandReader(tif.get(), samples, size).readInto(scaler, stop);
    QImage image = scaler.take();
    if (image.isNull()) invalid("out of memory");
    return upright(image, orientation);
}
