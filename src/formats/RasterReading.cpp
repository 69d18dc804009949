#include "formats/RasterReading.h"

#include "formats/ExifOrientation.h"
#include "formats/PictureFit.h"
#include "system/PlatformError.h"

#include <QImageReader>

namespace {

// The APP1 block holding EXIF is at most 64 KB and follows the start marker.
constexpr qint64 ExifSearchBytes = 128 * 1024;

[[noreturn]] void invalid(const QString& why) {
    throw PlatformError(Err::InvalidPicture, why);
}

// Huffman-coded JPEG spends at least a bit on each 8 x 8 block of each
// component (its DC difference), so a file holds at most 512 pixels a byte.
// Arithmetic coding (frame markers C9 to CF) can do better: not bounded.
bool claimsMoreThanItHolds(QByteArrayView start, QSize size, qint64 fileBytes) {
    for (qsizetype at = 2; at + 4 <= start.size();) {
        const uchar marker = uchar(start[at + 1]);
        if (uchar(start[at]) != 0xff) return false;
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc)
            return marker < 0xc9 && qint64(size.width()) * size.height() > 1024 * fileBytes;
        at += 2 + (uchar(start[at + 2]) << 8 | uchar(start[at + 3]));
    }
    return false;
}

} // namespace

QImage shrunkToFit(const QImage& picture, QSize limit) {
    const QSize size = fittedSize(picture.size(), limit);
    if (size == picture.size()) return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage readRasterPart(QIODevice* device, QRect part, QSize target) {
    const QByteArray start = device->peek(ExifSearchBytes);
    if (!start.startsWith("\xff\xd8")) return {};
    const int orientation = exifOrientation(start);
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false); // the orientation is applied below
    const QSize size = reader.size();
    if (!size.isValid() || !reader.supportsOption(QImageIOHandler::ClipRect)) return {};
    if (claimsMoreThanItHolds(start, size, device->size()))
        invalid(QStringLiteral("the picture claims more than the file holds"));
    reader.setClipRect(storedPart(part, size, orientation) & QRect(QPoint(), size));
    reader.setScaledSize(swapsSides(orientation) ? target.transposed() : target);
    QImage image = reader.read();
    if (image.isNull()) invalid(reader.errorString());
    return upright(image, orientation);
}

QSize rasterSize(QIODevice* device) {
    const QByteArray start = device->peek(ExifSearchBytes);
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    QSize size = reader.size();
    const bool turned =
        start.startsWith("\xff\xd8")
            ? swapsSides(exifOrientation(start))
            : bool(reader.transformation() & QImageIOHandler::TransformationRotate90);
    if (turned) size.transpose();
    return size;
}

QImage readRaster(QIODevice* device, QSize limit, qint64 maxPixels) {
    const QByteArray start = device->peek(ExifSearchBytes);
    const bool jpeg = start.startsWith("\xff\xd8");
    const int orientation = jpeg ? exifOrientation(start) : 1;
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(!jpeg); // a JPEG's orientation is applied below
    const QSize size = reader.size();
    // A JPEG decodes reduced, to at most eight times the limit each way.
    const bool reduced = jpeg && limit.isValid();
    if (jpeg && size.isValid() && claimsMoreThanItHolds(start, size, device->size()))
        invalid(QStringLiteral("the picture claims more than the file holds"));
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels && !reduced)
        invalid(QStringLiteral("picture too large"));
    if (jpeg && size.isValid() && limit.isValid()) {
        // The decoder's DCT scaling reads only what the reduced size needs.
        const QSize target = fittedSize(size, swapsSides(orientation) ? limit.transposed() : limit);
        if (target != size) reader.setScaledSize(target);
    }
    QImage image = reader.read();
    if (image.isNull()) invalid(reader.errorString());
    return shrunkToFit(upright(image, orientation), limit);
}
