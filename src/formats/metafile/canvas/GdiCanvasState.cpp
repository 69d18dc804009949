#include "formats/metafile/canvas/GdiCanvas.h"

#include "formats/metafile/Limits.h"

#include <cmath>

GdiCanvas::GdiCanvas(Surface& surface, const QTransform& deviceToPicture, double devicePixelsPerMm,
                     int objectCapacity, const DcState& initial)
    : surface_(surface), base_(deviceToPicture), pxPerMm_(devicePixelsPerMm), dc_(initial),
      objects_(objectCapacity) {}

QTransform GdiCanvas::toPicture() const {
    return dc_.world * dc_.pageTransform(pxPerMm_) * base_;
}

double GdiCanvas::lengthScale() const {
    const double det = toPicture().determinant();
    return std::isfinite(det) ? std::sqrt(std::abs(det)) : 0;
}

void GdiCanvas::setMapMode(int mode) {
    if (mode >= Gdi::MmText && mode <= Gdi::MmAnisotropic) dc_.mapMode = mode;
}

void GdiCanvas::setWindowExt(QPointF ext) {
    if (ext.x() != 0 && ext.y() != 0) dc_.windowExt = ext;
}

void GdiCanvas::setViewportExt(QPointF ext) {
    if (ext.x() == 0 || ext.y() == 0) return;
    dc_.viewportExt = ext;
    dc_.viewportFollowsWindow = false;
}

void GdiCanvas::scaleWindowExt(double xNum, double xDen, double yNum, double yDen) {
    if (xDen != 0 && yDen != 0)
        setWindowExt({dc_.windowExt.x() * xNum / xDen, dc_.windowExt.y() * yNum / yDen});
}

void GdiCanvas::scaleViewportExt(double xNum, double xDen, double yNum, double yDen) {
    if (xDen == 0 || yDen == 0) return;
    const QPointF ext = dc_.viewportFollowsWindow ? dc_.windowExt : dc_.viewportExt;
    setViewportExt({ext.x() * xNum / xDen, ext.y() * yNum / yDen});
}

void GdiCanvas::modifyWorldTransform(const QTransform& t, quint32 mode) {
    switch (mode) {
    case 1:
        dc_.world = QTransform();
        break;
    case 2:
        dc_.world = t * dc_.world;
        break;
    case 3:
        dc_.world = dc_.world * t;
        break;
    case 4:
        dc_.world = t;
        break;
    default:
        break;
    }
}

void GdiCanvas::saveDc() {
    if (saved_.size() < size_t(MetafileCaps::MaxSavedStates)) saved_.push_back(dc_);
}

void GdiCanvas::restoreDc(int which) {
    // Negative counts back from the newest state; positive names a level.
    const qint64 depth = qint64(saved_.size());
    const qint64 keep = which < 0 ? depth + which : qint64(which) - 1;
    if (which == 0 || keep < 0 || keep >= depth) return;
    dc_ = saved_[size_t(keep)];
    saved_.resize(size_t(keep));
    applyClip();
}

void GdiCanvas::select(const GdiObject& object) {
    if (auto pen = std::get_if<PenSpec>(&object))
        dc_.pen = *pen;
    else if (auto brush = std::get_if<BrushSpec>(&object))
        dc_.brush = *brush;
    else if (auto font = std::get_if<FontSpec>(&object))
        dc_.font = *font;
    else if (auto palette = std::get_if<PaletteSpec>(&object))
        dc_.palette = palette->colors;
}

void GdiCanvas::deleteObject(quint32 index) {
    objects_.remove(index);
}

namespace {
QPainterPath everywhere() {
    const double m = MetafileCaps::MaxCoordinate;
    QPainterPath all;
    all.addRect(-m, -m, 2 * m, 2 * m);
    return all;
}
} // namespace

void GdiCanvas::applyClip() {
    surface_.setClip(dc_.clip);
}

void GdiCanvas::intersectClip(const QRectF& logical) {
    QPainterPath box;
    box.addRect(logical.normalized());
    combineClip(toPicture().map(box), 1);
}

void GdiCanvas::excludeClip(const QRectF& logical) {
    QPainterPath box;
    box.addRect(logical.normalized());
    combineClip(toPicture().map(box), 4);
}

void GdiCanvas::combineClip(const QPainterPath& picture, quint32 mode) {
    const QPainterPath current = dc_.clip ? *dc_.clip : everywhere();
    switch (mode) {
    case 1:
        dc_.clip = current.intersected(picture);
        break;
    case 2:
        dc_.clip = current.united(picture);
        break;
    case 3:
        dc_.clip = current.subtracted(picture).united(picture.subtracted(current));
        break;
    case 4:
        dc_.clip = current.subtracted(picture);
        break;
    case 5:
        dc_.clip = picture;
        break;
    default:
        return;
    }
    applyClip();
}

void GdiCanvas::resetClip() {
    dc_.clip.reset();
    applyClip();
}
