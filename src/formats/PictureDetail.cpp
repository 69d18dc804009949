#include "formats/PictureDetail.h"

#include "formats/PictureLoader.h"
#include "formats/StoppableDevice.h"
#include "formats/metafile/Metafile.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

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

double area(QSize size) {
    return double(size.width()) * size.height();
}

// The size at factor times size, or less, to hold no more than maxPixels.
QSize within(QSize size, double factor, qint64 maxPixels) {
    const double pixels = factor * factor * area(size);
    if (pixels > double(maxPixels)) factor *= std::sqrt(double(maxPixels) / pixels);
    return QSize(std::max(1, int(std::lround(size.width() * factor))),
                 std::max(1, int(std::lround(size.height() * factor))));
}

} // namespace

PictureDetail loadPictureDetail(const QString& path, double scale, QRect visible, qint64 maxPixels,
                                const std::atomic<bool>* stop) {
    Stoppable<QFile> file(stop);
    if (!file.open(FileNames::openRegularFile(path).release(), QIODevice::ReadOnly,
                   QFileDevice::AutoCloseHandle))
        throw PlatformError(Err::InvalidPicture, file.errorString());
    const QByteArray head = file.peek(MetafileHeadBytes);
    if (isWmf(head) || isEmf(head)) {
        if (file.size() > MetafileCaps::MaxFileBytes)
            throw PlatformError(Err::InvalidPicture, QStringLiteral("file too large"));
        return drawnDetail(file.readAll(), scale, visible, stop);
    }
    PictureDetail detail;
    detail.own = pictureSize(&file);
    if (!detail.own.isValid()) return detail;
    const QSize own = detail.own;
    detail.inParts = area(own) > double(maxPixels);
    if (scale <= 0) return detail;
    // Never above its own size: sharper than that there is nothing.
    const double factor = std::min(1.0, scale);
    if (detail.inParts && factor * factor * area(own) > double(maxPixels)) {
        // Too large whole at this scale: the part in view, where it can be read alone.
        const QRectF seen = visible.isValid() ? QRectF(visible) : QRectF(QPointF(), own * scale);
        const QRect part = QRectF(seen.topLeft() / scale, seen.size() / scale).toAlignedRect() &
                           QRect(QPoint(), own);
        if (!part.isEmpty()) {
            detail.image =
                readPicturePart(&file, part, within(part.size(), factor, maxPixels), stop);
            if (!detail.image.isNull()) {
                const QPoint from(int(std::lround(part.left() * scale)),
                                  int(std::lround(part.top() * scale)));
                const QPoint to(int(std::lround((part.right() + 1) * scale)),
                                int(std::lround((part.bottom() + 1) * scale)));
                detail.covers = QRect(from, to - QPoint(1, 1));
                return detail;
            }
        }
    }
    // The whole picture, as sharp as it may come.
    detail.image = readPicture(&file, within(own, factor, maxPixels), stop);
    detail.covers =
        QRect(0, 0, int(std::lround(own.width() * scale)), int(std::lround(own.height() * scale)));
    return detail;
}
