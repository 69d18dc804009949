#include "formats/metafile/Rendering.h"

#include "formats/PictureFit.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "system/PlatformError.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
qint64 recordBudget(qint64 width, qint64 height) {
    return std::max(MetafileCaps::BudgetRecords, width * height);
}
} // namespace

QSize checkedPictureSize(double width, double height, const RenderLimits& limits) {
    const double w = std::max(1.0, std::round(width)), h = std::max(1.0, std::round(height));
    if (!(w <= 32767 && h <= 32767 && w * h <= double(limits.maxPixels)))
        throw PlatformError(Err::InvalidPicture, QStringLiteral("metafile picture too large"));
    return QSize(int(w), int(h));
}

QImage renderMetafile(const PlaySetup& setup, const Player& play, const RenderLimits& limits) {
    QSize size;
    QTransform base = setup.deviceToPicture;
    if (setup.size) {
        size = *setup.size;
    } else {
        MeasureSurface measure;
        measure.setBudget(
            recordBudget(MetafileCaps::UnsizedLongestSide, MetafileCaps::UnsizedLongestSide),
            std::numeric_limits<qint64>::max());
        measure.setStop(limits.stop);
        GdiCanvas canvas(measure, QTransform(), setup.devicePixelsPerMm, setup.objectCapacity,
                         setup.initial);
        play(canvas);
        const QRectF drawn = measure.bounds();
        if (!(drawn.width() > 0 || drawn.height() > 0))
            throw PlatformError(Err::InvalidPicture, QStringLiteral("metafile draws nothing"));
        const double longest = std::max(drawn.width(), drawn.height());
        const double scale = std::min(1.0, MetafileCaps::UnsizedLongestSide / longest);
        size = checkedPictureSize(std::ceil(drawn.width() * scale),
                                  std::ceil(drawn.height() * scale), limits);
        base = QTransform::fromTranslate(-drawn.left(), -drawn.top()) *
               QTransform::fromScale(scale, scale);
    }
    if (limits.ownSize) *limits.ownSize = size;
    if (limits.zoom > 0) { // only what a zoomed view shows is drawn
        const QRect whole(0, 0, int(std::ceil(size.width() * limits.zoom)),
                          int(std::ceil(size.height() * limits.zoom)));
        const QRect part = limits.part.isValid() ? whole.intersected(limits.part) : whole;
        if (part.isEmpty())
            throw PlatformError(Err::InvalidPicture, QStringLiteral("no part of the metafile"));
        base *= QTransform::fromScale(limits.zoom, limits.zoom) *
                QTransform::fromTranslate(-part.left(), -part.top());
        size = checkedPictureSize(part.width(), part.height(), limits);
    }
    const QSize shown = limits.zoom > 0 ? size : fittedSize(size, limits.fitInto);
    if (shown != size) { // drawn at the size it is shown, not drawn large and scaled
        base *= QTransform::fromScale(double(shown.width()) / size.width(),
                                      double(shown.height()) / size.height());
        size = shown;
    }
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        throw PlatformError(Err::InvalidPicture, QStringLiteral("no memory for the picture"));
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    PaintSurface surface(painter);
    surface.setBudget(recordBudget(size.width(), size.height()),
                      MetafileCaps::BudgetOverdraw * qint64(size.width()) * size.height() +
                          MetafileCaps::BudgetPixels);
    surface.setStop(limits.stop);
    GdiCanvas canvas(surface, base, setup.devicePixelsPerMm, setup.objectCapacity, setup.initial);
    play(canvas);
    return picture;
}
