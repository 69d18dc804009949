#include "formats/PictureDetail.h"

#include "formats/ExifOrientation.h"
#include "formats/PictureLoader.h"
#include "formats/StoppableDevice.h"
#include "formats/metafile/Metafile.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 ExifSearchBytes = 128 * 1024;

PictureDetail drawnDetail(const QByteArray& bytes, double scale, QRect visible,
                          const std::atomic<bool>* stop) {
    PictureDetail detail;
    detail.drawn = true;
    RenderLimits limits;
    limits.stop = stop;
    limits.ownSize = &detail.own;
    const bool measuring = scale <= 0;
    limits.zoom = measuring ? 1 : scale;
    limits.part = measuring ? QRect(0, 0, 1, 1) : visible;
    const QImage image = isWmf(bytes) ? renderWmf(bytes, limits) : renderEmf(bytes, limits);
    if (measuring) return detail;
    detail.image = image;
    const QPoint corner = visible.isValid() ? visible.topLeft() : QPoint();
    detail.covers = QRect(QPoint(std::max(0, corner.x()), std::max(0, corner.y())), image.size());
    return detail;
}

} // namespace

PictureDetail loadPictureDetail(const QString& path, double scale, QRect visible, qint64 maxPixels,
                                const std::atomic<bool>* stop) {
    Stoppable<QFile> file(stop);
    if (!file.open(FileNames::openRegularFile(path).release(), QIODevice::ReadOnly,
                   QFileDevice::AutoCloseHandle))
        throw PlatformError(Err::InvalidPicture, file.errorString());
    const QByteArray head = file.peek(ExifSearchBytes);
    if (isWmf(head) || isEmf(head)) {
        if (file.size() > MetafileCaps::MaxFileBytes)
            throw PlatformError(Err::InvalidPicture, QStringLiteral("file too large"));
        return drawnDetail(file.readAll(), scale, visible, stop);
    }
    PictureDetail detail;
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    detail.own = reader.size();
    if (head.startsWith("\xff\xd8") && swapsSides(exifOrientation(head))) detail.own.transpose();
    if (scale <= 0 || !detail.own.isValid()) return detail;
    // Never above its own size: sharper than that there is nothing.
    double factor = std::min(1.0, scale);
    const double pixels = factor * factor * detail.own.width() * detail.own.height();
    if (pixels > double(maxPixels)) factor *= std::sqrt(double(maxPixels) / pixels);
    const QSize limit(std::max(1, int(std::lround(detail.own.width() * factor))),
                      std::max(1, int(std::lround(detail.own.height() * factor))));
    file.close();
    detail.image = LoadPicture(path, limit, stop);
    detail.covers = QRect(0, 0, int(std::lround(detail.own.width() * scale)),
                          int(std::lround(detail.own.height() * scale)));
    return detail;
}
