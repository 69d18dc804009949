#include "formats/TiffTags.h"

#include "formats/TiffFile.h"

namespace libtiff {

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

} // namespace

QSize storedSize(TIFF* tif) {
    const QSize size(int(tag<quint32>(tif, TIFFTAG_IMAGEWIDTH)),
                     int(tag<quint32>(tif, TIFFTAG_IMAGELENGTH)));
    if (size.width() <= 0 || size.height() <= 0 || size.width() > MaxSide ||
        size.height() > MaxSide)
        invalid("bad TIFF size");
    return size;
}

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

} // namespace libtiff
