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

} // namespace

QImage shrunkToFit(const QImage& picture, QSize limit) {
    const QSize size = fittedSize(picture.size(), limit);
    if (size == picture.size()) return picture;
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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
