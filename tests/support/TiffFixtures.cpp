#include "support/TiffFixtures.h"

#include <QFile>
#include <QTemporaryFile>

#include <cstring>
#include <tiffio.h>
#include <vector>

namespace {

// One row of samples (pixels x samples, or one plane) packed as the file stores them.
std::vector<uchar> pack(const QList<double>& values, int bits, int format) {
    std::vector<uchar> out(size_t((qint64(values.size()) * bits + 7) / 8), 0);
    quint64 bit = 0;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const double v = values[i];
        uchar* at = out.data() + qint64(i) * bits / 8;
        if (format == 3 && bits == 32) {
            const float f = float(v);
            std::memcpy(at, &f, 4);
        } else if (format == 3 && bits == 64) {
            std::memcpy(at, &v, 8);
        } else if (bits == 16) {
            const quint16 u = quint16(qint64(v));
            std::memcpy(at, &u, 2);
        } else if (bits == 32) {
            const quint32 u = quint32(qint64(v));
            std::memcpy(at, &u, 4);
        } else if (bits == 8) {
            *at = uchar(qint64(v));
        } else { // packed, highest bits first
            const quint32 u = quint32(qint64(v));
            for (int k = bits - 1; k >= 0; --k, ++bit)
                if (u >> k & 1) out[bit >> 3] |= uchar(0x80 >> (bit & 7));
        }
    }
    return out;
}

QList<double> rowOf(int width, int samples, const QList<double>& left, const QList<double>& right,
                    int plane) {
    QList<double> row;
    for (int x = 0; x < width; ++x) {
        const QList<double>& pixel = x < width / 2 ? left : right;
        if (plane >= 0)
            row << pixel[plane];
        else
            row << pixel.first(samples);
    }
    return row;
}

void setTags(TIFF* tif, QSize size, const TiffFixtures::Layout& s) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, quint32(size.width()));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, quint32(size.height()));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, quint16(s.bits));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, quint16(s.perPixel));
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, quint16(s.format));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, quint16(s.photometric));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG,
                 quint16(s.planes ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, quint16(s.compression));
    TIFFSetField(tif, TIFFTAG_ORIENTATION, quint16(s.orientation));
    if (s.photometric == PHOTOMETRIC_SEPARATED) TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
    if (s.extraSamples) {
        const quint16 kind = quint16(s.extraSamples);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &kind);
    }
    if (!s.colourMap.isEmpty()) {
        const qsizetype n = s.colourMap.size() / 3;
        std::vector<quint16> map(s.colourMap.begin(), s.colourMap.end());
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + n, map.data() + 2 * n);
    }
    if (s.compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
    }
    if (s.tile.isValid()) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, quint32(s.tile.width()));
        TIFFSetField(tif, TIFFTAG_TILELENGTH, quint32(s.tile.height()));
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                     s.rowsPerStrip ? quint32(s.rowsPerStrip) : TIFFDefaultStripSize(tif, 0));
    }
}

bool writeTiles(TIFF* tif, QSize size, const TiffFixtures::Layout& s, const QList<double>& left,
                const QList<double>& right) {
    const int planes = s.planes ? s.perPixel : 1, tw = s.tile.width(), th = s.tile.height();
    for (int p = 0; p < planes; ++p)
        for (int y0 = 0; y0 < size.height(); y0 += th)
            for (int x0 = 0; x0 < size.width(); x0 += tw) {
                std::vector<uchar> tile;
                for (int y = 0; y < th; ++y) {
                    QList<double> row;
                    for (int x = x0; x < x0 + tw; ++x) {
                        const QList<double>& px = x < size.width() / 2 ? left : right;
                        row << (s.planes ? px.sliced(p, 1) : px.first(s.perPixel));
                    }
                    const std::vector<uchar> packed = pack(row, s.bits, s.format);
                    tile.insert(tile.end(), packed.begin(), packed.end());
                }
                if (TIFFWriteTile(tif, tile.data(), quint32(x0), quint32(y0), 0, quint16(p)) < 0)
                    return false;
            }
    return true;
}

} // namespace

namespace TiffFixtures {

QByteArray halves(QSize size, const Layout& layout, const QList<double>& left,
                  const QList<double>& right) {
    QTemporaryFile file;
    if (!file.open()) return {};
    TIFF* tif = TIFFOpen(QFile::encodeName(file.fileName()).constData(), "w");
    if (!tif) return {};
    setTags(tif, size, layout);
    bool ok = true;
    if (layout.tile.isValid()) {
        ok = writeTiles(tif, size, layout, left, right);
    } else {
        const int planes = layout.planes ? layout.perPixel : 1;
        for (int p = 0; p < planes && ok; ++p)
            for (int y = 0; y < size.height() && ok; ++y) {
                std::vector<uchar> row =
                    pack(rowOf(size.width(), layout.perPixel, left, right, layout.planes ? p : -1),
                         layout.bits, layout.format);
                ok = TIFFWriteScanline(tif, row.data(), quint32(y), quint16(p)) >= 0;
            }
    }
    TIFFClose(tif);
    return ok ? file.readAll() : QByteArray();
}

QByteArray checkerboard(QSize size, const Layout& layout, const QList<double>& even,
                        const QList<double>& odd) {
    QTemporaryFile file;
    if (!file.open()) return {};
    TIFF* tif = TIFFOpen(QFile::encodeName(file.fileName()).constData(), "w");
    if (!tif) return {};
    setTags(tif, size, layout);
    std::vector<uchar> rows[2]; // starting with even, with odd
    for (int start = 0; start < 2; ++start) {
        QList<double> row;
        for (int x = start; x < start + size.width(); ++x)
            row << (x % 2 ? odd : even).first(layout.perPixel);
        rows[start] = pack(row, layout.bits, layout.format);
    }
    bool ok = true;
    for (int y = 0; y < size.height() && ok; ++y)
        ok = TIFFWriteScanline(tif, rows[y % 2].data(), quint32(y), 0) >= 0;
    TIFFClose(tif);
    return ok ? file.readAll() : QByteArray();
}

QByteArray ofImage(const QImage& image, int orientation) {
    QTemporaryFile file;
    if (!file.open()) return {};
    TIFF* tif = TIFFOpen(QFile::encodeName(file.fileName()).constData(), "w");
    if (!tif) return {};
    Layout layout;
    layout.orientation = orientation;
    setTags(tif, image.size(), layout);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    bool ok = true;
    for (int y = 0; y < rgb.height() && ok; ++y)
        ok = TIFFWriteScanline(tif, const_cast<uchar*>(rgb.constScanLine(y)), quint32(y), 0) >= 0;
    TIFFClose(tif);
    return ok ? file.readAll() : QByteArray();
}

bool writeLarge(const QString& path, QSize size, const QList<double>& left,
                const QList<double>& right) {
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif) return false;
    Layout layout;
    layout.compression = COMPRESSION_ADOBE_DEFLATE;
    layout.rowsPerStrip = 64;
    setTags(tif, size, layout);
    const std::vector<uchar> row = pack(rowOf(size.width(), 3, left, right, -1), 8, 1);
    bool ok = true;
    for (int y = 0; y < size.height() && ok; ++y)
        ok = TIFFWriteScanline(tif, const_cast<uchar*>(row.data()), quint32(y), 0) >= 0;
    TIFFClose(tif);
    return ok;
}

} // namespace TiffFixtures
