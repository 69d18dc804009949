#include "formats/metafile/canvas/AreaCut.h"
#include "formats/metafile/emfplus/PlusPlayer.h"

#include <cmath>

namespace {

constexpr int MaxClipElements = 20000;

bool finite(const QTransform& t) {
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
           std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

// Transforms that are not numbers are left out.
void changeWorld(const PlusRecord& r, PlusPlayer& p, const QTransform& t) {
    if (!finite(t)) return;
    QTransform& world = p.state().world;
    // By default the new transform applies first; the A flag appends it.
    world = r.flags & Plus::Closed ? world * t : t * world;
}

void save(PlusPlayer& p, quint32 index) {
    if (p.saved().size() < size_t(MetafileCaps::MaxSavedStates))
        p.saved().emplace_back(index, p.state());
}

void restore(PlusPlayer& p, quint32 index) {
    auto& saved = p.saved();
    for (size_t k = saved.size(); k-- > 0;) {
        if (saved[k].first != index) continue;
        p.state() = saved[k].second;
        saved.resize(k);
        p.showClip();
        return;
    }
}

// A container maps its source rectangle onto the destination, given in
// the unit of the flags; inside it the world transform starts afresh.
void beginContainer(const PlusRecord& r, PlusPlayer& p) {
    const QRectF dest = Plus::rect(r.data, 0, false), source = Plus::rect(r.data, 16, false);
    save(p, r.u(32));
    PlusState& s = p.state();
    const quint32 unit = r.flags & 0xFF;
    const double toPage =
        unit == 0 ? 1 : p.unitPixels(unit) / p.unitPixels(s.pageUnit) / s.pageScale;
    QTransform fit;
    if (source.width() != 0 && source.height() != 0 && std::isfinite(toPage))
        fit = QTransform::fromTranslate(-source.left(), -source.top()) *
              QTransform::fromScale(dest.width() / source.width() * toPage,
                                    dest.height() / source.height() * toPage) *
              QTransform::fromTranslate(dest.left() * toPage, dest.top() * toPage);
    if (finite(fit)) s.outer = fit * s.world * s.outer;
    s.world = QTransform();
}

// Combine modes: replace, intersect, union, xor, exclude, complement.
void combineClip(PlusPlayer& p, const QPainterPath& world, quint32 mode) {
    // Qt's path clipper crashes on points that are not numbers and fails on
    // those near infinity: a shape is cut to the bounds within which anything
    // is drawn at all, and one that has no place leaves the clip as it is.
    const double m = MetafileCaps::MaxCoordinate;
    const QPainterPath mapped = p.worldToPicture().map(world);
    if (!Plus::finite(mapped)) return;
    const QPainterPath shape = cutToArea(mapped, QRectF(-m, -m, 2 * m, 2 * m));
    std::optional<QPainterPath>& clip = p.state().clip;
    QPainterPath current;
    if (clip) {
        current = *clip;
    } else { // no clip: everything shows
        current.addRect(-m, -m, 2 * m, 2 * m);
    }
    switch (mode) {
    case 0:
        clip = shape;
        break;
    case 1:
        clip = current.intersected(shape);
        break;
    case 2:
        clip = current.united(shape);
        break;
    case 3:
        clip = current.subtracted(shape).united(shape.subtracted(current));
        break;
    case 4:
        clip = current.subtracted(shape);
        break;
    case 5:
        clip = shape.subtracted(current);
        break;
    default:
        return;
    }
    // Clips combined again and again grow without end; beyond any real
    // picture's, their bounds stand for them.
    if (clip->elementCount() > MaxClipElements) {
        const QRectF bounds = clip->boundingRect();
        clip = QPainterPath();
        clip->addRect(bounds);
    }
    p.showClip();
}

} // namespace

bool playPlusState(const PlusRecord& r, PlusPlayer& p) {
    PlusState& s = p.state();
    const quint32 combine = r.flags >> 8 & 0xF;
    switch (r.type) {
    case 0x401D: // rendering origin, antialiasing, text hint and contrast,
    case 0x401E: // interpolation, pixel offset, compositing: Qt's own
    case 0x401F: // smooth rendering stands for them
    case 0x4020:
    case 0x4021:
    case 0x4022:
    case 0x4023:
    case 0x4024:
        break;
    case 0x4025:
        save(p, r.u(0));
        break;
    case 0x4026:
    case 0x4029:
        restore(p, r.u(0));
        break;
    case 0x4027:
        beginContainer(r, p);
        break;
    case 0x4028:
        save(p, r.u(0));
        s.outer = s.world * s.outer;
        s.world = QTransform();
        break;
    case 0x402A:
        if (const auto t = Plus::matrix(r.data, 0)) s.world = *t;
        break;
    case 0x402B:
        s.world = QTransform();
        break;
    case 0x402C:
        if (const auto t = Plus::matrix(r.data, 0)) changeWorld(r, p, *t);
        break;
    case 0x402D:
        changeWorld(r, p, QTransform::fromTranslate(r.f(0), r.f(4)));
        break;
    case 0x402E:
        changeWorld(r, p, QTransform::fromScale(r.f(0), r.f(4)));
        break;
    case 0x402F:
        changeWorld(r, p, QTransform().rotate(r.f(0)));
        break;
    case 0x4030: {
        const double scale = r.f(0);
        if (!(scale > 0 && scale < 1e6)) break;
        s.pageUnit = r.flags & 0xFF;
        s.pageScale = scale;
        break;
    }
    case 0x4031:
        s.clip.reset();
        p.showClip();
        break;
    case 0x4032: {
        QPainterPath box;
        box.addRect(Plus::rect(r.data, 0, false).normalized());
        combineClip(p, box, combine);
        break;
    }
    case 0x4033:
        if (const QPainterPath* path = p.get<QPainterPath>(r.objectId()))
            combineClip(p, *path, combine);
        break;
    case 0x4034:
        if (const PlusRegion* region = p.get<PlusRegion>(r.objectId())) {
            if (region->infinite && combine == 0) {
                s.clip.reset();
                p.showClip();
            } else {
                combineClip(p, region->area, combine);
            }
        }
        break;
    case 0x4035:
        if (s.clip) {
            const QTransform t = p.worldToPicture();
            const QPointF by = t.map(QPointF(r.f(0), r.f(4))) - t.map(QPointF(0, 0));
            if (std::isfinite(by.x()) && std::isfinite(by.y())) s.clip->translate(by);
            p.showClip();
        }
        break;
    default:
        return false;
    }
    return true;
}
