#include "formats/metafile/emfplus/PlusPlayer.h"

#include "formats/metafile/canvas/GdiCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr quint32 Signature = 0x2B464D45; // "EMF+"
enum : quint16 { Header = 0x4001, EndOfFile = 0x4002, GetDC = 0x4004, Object = 0x4008 };
constexpr quint16 Continued = 0x8000;

} // namespace

bool plusRecordsDraw(const ByteReader& file, qint64 first) {
    for (qint64 pos = first; file.has(pos, 8); pos += file.u32(pos + 4)) {
        const quint32 size = file.u32(pos + 4);
        if (size < 8 || !file.has(pos, size)) return false;
        if (file.u32(pos) != 70 || size < 28 || file.u32(pos + 12) != Signature) continue;
        const qint64 end = pos + std::min<qint64>(size, 12 + qint64(file.u32(pos + 8)));
        for (qint64 at = pos + 16; at + 12 <= end;) {
            const quint16 type = file.u16(at);
            if ((type >= 0x4009 && type <= 0x401C) || type == 0x4036) return true;
            const quint32 length = file.u32(at + 4);
            if (length < 12) break;
            at += length;
        }
    }
    return false;
}

PlusPlayer::PlusPlayer(GdiCanvas& canvas, const RenderLimits& limits, bool plusDraws)
    : canvas_(canvas), limits_(limits), plusDraws_(plusDraws) {
    resetPlusNesting();
}

bool PlusPlayer::playComment(const ByteReader& comment) {
    // EMR_COMMENT: type, size, data size, then the identifier and the records.
    if (!comment.has(12, 4) || comment.u32(12) != Signature) return false;
    const qint64 end = std::min<qint64>(comment.size(), 12 + qint64(comment.u32(8)));
    qint64 pos = 16;
    while (pos + 12 <= end) {
        PlusRecord r;
        r.type = comment.u16(pos);
        r.flags = comment.u16(pos + 2);
        const bool piece = r.type == Object && r.flags & Continued;
        const qint64 head = piece ? 16 : 12;
        if (pos + head > end) break;
        const quint32 size = comment.u32(pos + 4), dataSize = comment.u32(pos + head - 4);
        if (size < head || size > end - pos || dataSize > size - head) break;
        if (!canvas_.nextRecord()) break;
        r.total = piece ? comment.u32(pos + 8) : 0;
        r.data = comment.slice(pos + head, dataSize);
        try {
            play(r);
        } catch (const MalformedData&) {
            // a record that lies about its contents is skipped
        }
        pos += size;
    }
    return true;
}

void PlusPlayer::play(const PlusRecord& r) {
    if (r.type == Header) {
        started_ = true;
        const double x = r.u(8), y = r.u(12);
        if (x >= 1 && x <= 10000 && y >= 1 && y <= 10000) dpiX_ = x, dpiY_ = y;
        return;
    }
    if (!started_) return;
    if (r.type == GetDC) { // the GDI records after this one draw
        gdiTurn_ = true;
        clipShown_ = false;
        canvas_.useGdiClip();
        return;
    }
    gdiTurn_ = false;
    if (r.type == Object)
        storeObject(r);
    else if (r.type != EndOfFile)
        playPlusState(r, *this) || playPlusShapes(r, *this) || playPlusText(r, *this) ||
            playPlusImages(r, *this);
}

// An object too large for one record comes in pieces: each but the last
// flagged as continued and giving the total size.
void PlusPlayer::storeObject(const PlusRecord& r) {
    const quint8 id = r.objectId();
    const int type = r.flags >> 8 & 0x7F;
    ByteReader whole = r.data;
    QByteArray joined;
    if (r.flags & Continued || (pending_ && pending_->id == id)) {
        if (!pending_ || pending_->id != id) {
            if (!(r.flags & Continued) || r.total > MetafileCaps::MaxFileBytes) return;
            pending_ = Pending{id, r.total, {}};
        }
        pending_->bytes.append(r.data.view());
        if (pending_->bytes.size() > qint64(pending_->total)) {
            pending_.reset();
            return;
        }
        if (r.flags & Continued && pending_->bytes.size() < qint64(pending_->total)) return;
        joined = std::move(pending_->bytes);
        pending_.reset();
        whole = ByteReader(joined);
    }
    if (id >= objects_.size()) return;
    objects_[id] = std::monostate{};
    objects_[id] = Plus::object(type, whole, limits_);
}

double PlusPlayer::unitPixels(quint32 unit, bool vertical) const {
    const double dpi = vertical ? dpiY_ : dpiX_;
    switch (unit) {
    case 3:
        return dpi / 72;
    case 4:
        return dpi;
    case 5:
        return dpi / 300;
    case 6:
        return dpi / 25.4;
    default: // world, display and pixels
        return 1;
    }
}

QTransform PlusPlayer::worldToPicture() const {
    const QTransform page =
        QTransform::fromScale(unitPixels(state_.pageUnit) * state_.pageScale,
                              unitPixels(state_.pageUnit, true) * state_.pageScale);
    return state_.world * state_.outer * page * canvas_.deviceToPicture();
}

std::optional<PlusBrush> PlusPlayer::brush(const PlusRecord& r, quint32 field) const {
    if (r.flags & Plus::BrushIsColor) return PlusBrush{QBrush(Plus::argb(field)), std::nullopt};
    if (const PlusBrush* b = get<PlusBrush>(field)) return *b;
    return std::nullopt;
}

QBrush PlusPlayer::mapped(const PlusBrush& b) const {
    QBrush q = b.brush;
    if (q.gradient() || q.style() == Qt::TexturePattern)
        q.setTransform(q.transform() * worldToPicture());
    return q;
}

void PlusPlayer::showClip() {
    canvas_.surface().setClip(state_.clip);
    clipShown_ = true;
}

void PlusPlayer::fill(const QPainterPath& world, const PlusBrush& b) {
    fillPicture(worldToPicture().map(world), b);
}

void PlusPlayer::fillEverywhere(const PlusBrush& b) {
    const double m = MetafileCaps::MaxCoordinate / 2;
    QPainterPath all;
    all.addRect(-m, -m, 2 * m, 2 * m);
    fillPicture(all, b);
}

void PlusPlayer::fillPicture(const QPainterPath& picture, const PlusBrush& b) {
    if (!clipShown_) showClip();
    if (b.background) canvas_.fillPicture(picture, QBrush(*b.background));
    canvas_.fillPicture(picture, mapped(b));
}

void PlusPlayer::stroke(const QPainterPath& world, quint32 penId) {
    const PlusPen* p = get<PlusPen>(penId);
    if (!p) return;
    if (!clipShown_) showClip();
    const QTransform t = worldToPicture();
    auto scaleOf = [](const QTransform& m) {
        const double det = m.determinant();
        return std::isfinite(det) ? std::sqrt(std::abs(det)) : 0.0;
    };
    const double width =
        p->unit == 0 ? p->pen.widthF() * scaleOf(t)
                     : p->pen.widthF() * unitPixels(p->unit) * scaleOf(canvas_.deviceToPicture());
    QPen pen = p->pen;
    pen.setWidthF(std::clamp(width, 1.0, 32000.0)); // GDI+ draws thinner lines a pixel wide
    pen.setBrush(mapped(p->fill));
    canvas_.strokePicture(t.map(world), pen);
}
