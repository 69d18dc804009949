#include "controls/PictureView.h"

#include "formats/PictureFit.h"

#include <algorithm>
#include <cmath>

namespace {
QSize boundedBy(QSize size, QSize space) {
    return space.isValid() ? size.boundedTo(space) : size;
}
} // namespace

double PictureView::fitScale() const {
    if (own.isEmpty()) return 1;
    return double(fittedSize(own, space).width()) / own.width();
}

QSize PictureView::scaledSize() const {
    if (fitted) return fittedSize(own, space);
    return QSize(std::max(1, int(std::lround(own.width() * zoom))),
                 std::max(1, int(std::lround(own.height() * zoom))));
}

QSize PictureView::areaSize() const {
    return fill && space.isValid() ? space : boundedBy(scaledSize(), space);
}

QPointF PictureView::origin() const {
    const QSize area = areaSize(), scaled = scaledSize();
    return QPointF(std::max(0, area.width() - scaled.width()) / 2,
                   std::max(0, area.height() - scaled.height()) / 2) -
           offset;
}

QRect PictureView::visible() const {
    return QRect(QPoint(), scaledSize()).intersected(QRect(offset.toPoint(), areaSize()));
}

bool PictureView::pannable() const {
    const QSize area = areaSize(), scaled = scaledSize();
    return scaled.width() > area.width() || scaled.height() > area.height();
}

void PictureView::zoomTo(double target, QPointF at) {
    const double before = scale();
    const QPointF point = (at - origin()) / before; // in the picture's own pixels
    const double fit = fitScale();
    target = std::clamp(target, std::min(fit, MaxZoom), MaxZoom);
    fitted = target <= fit * 1.0001;
    zoom = fitted ? fit : target;
    offset = {};
    offset = origin() + point * scale() - at; // with a zero offset, origin() is the centring
    clampOffset();
}

void PictureView::zoomBy(int steps, QPointF at) {
    double target = scale();
    for (int i = 0; i < std::abs(steps); ++i) {
        const double next = steps > 0 ? target * Step : target / Step;
        target = (target < 1 && next > 1) || (target > 1 && next < 1) ? 1 : next;
    }
    zoomTo(target, at);
}

void PictureView::moveBy(QPointF delta) {
    offset -= delta;
    clampOffset();
}

void PictureView::showFitted() {
    fitted = true;
    offset = {};
}

void PictureView::clampOffset() {
    const QSize area = areaSize(), scaled = scaledSize();
    // Whole pixels, so that a picture at 100 % is copied pixel for pixel.
    offset.setX(std::round(
        std::clamp(offset.x(), 0.0, double(std::max(0, scaled.width() - area.width())))));
    offset.setY(std::round(
        std::clamp(offset.y(), 0.0, double(std::max(0, scaled.height() - area.height())))));
}
