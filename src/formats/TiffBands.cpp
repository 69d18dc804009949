#include "formats/TiffBands.h"

#include "formats/BandScaler.h"
#include "formats/TiffFile.h"
#include "formats/TiffSamples.h"

#include <algorithm>
#include <cstring>
#include <vector>

using libtiff::invalid;
using libtiff::MaxBandBytes;
using libtiff::tag;

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
            // A strip is decoded from its start: from the one with the first row wanted.
            const qint64 rowsPerStrip =
                std::clamp<qint64>(tag<quint32>(tif_, TIFFTAG_ROWSPERSTRIP), 1, size_.height());
            int first = 0;
            while (first < size_.height() && !scaler.wants(first, 1))
                ++first;
            for (int y = int(first / rowsPerStrip * rowsPerStrip);
                 y < size_.height() && (y < first || scaler.wants(y, 1)); ++y) {
                if (stop && *stop) invalid("stopped");
                if (TIFFReadScanline(tif_, line.data(), quint32(y), 0) < 0)
                    invalid("a strip cannot be read");
                if (y < first) continue;
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
            if (rows <= 0) break; // strips past the picture's last row
            if (!scaler.wants(first, rows)) continue;
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
        if (tileWidth <= 0 || tileHeight <= 0 || tileRow <= 0 || tileBytes < tileRow * tileHeight)
            invalid("bad tiles");
        const qint64 across = (size_.width() + tileWidth - 1) / tileWidth;
        const qint64 line = across * tileRow;
        if (line * tileHeight * planes_ + tileBytes > MaxBandBytes) invalid("tiles too large");
        std::vector<std::vector<uchar>> band(size_t(planes_),
                                             std::vector<uchar>(size_t(line * tileHeight)));
        std::vector<uchar> tile(static_cast<size_t>(tileBytes));
        for (qint64 top = 0; top < size_.height(); top += tileHeight) {
            if (!scaler.wants(top, tileHeight)) continue;
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

} // namespace

void readBands(TIFF* tif, const TiffSamples& samples, QSize size, BandScaler& scaler,
               const std::atomic<bool>* stop) {
    BandReader(tif, samples, size).readInto(scaler, stop);
}
