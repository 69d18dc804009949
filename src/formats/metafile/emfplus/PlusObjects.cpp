#include "formats/metafile/emfplus/PlusObjects.h"

#include "formats/metafile/emfplus/PlusRecord.h"

#include <algorithm>
#include <cmath>

namespace {

enum PenFlags : quint32 {
    PenTransform = 0x01,
    StartCap = 0x02,
    EndCap = 0x04,
    Join = 0x08,
    MiterLimit = 0x10,
    LineStyle = 0x20,
    DashCap = 0x40,
    DashOffset = 0x80,
    DashPattern = 0x100,
    Alignment = 0x200,
    Compound = 0x400,
    CustomStartCap = 0x800,
    CustomEndCap = 0x1000,
};

Qt::PenCapStyle capStyle(qint32 cap) {
    switch (cap) {
    case 1:
    case 0x11: // square anchor
        return Qt::SquareCap;
    case 2:
    case 0x12: // round anchor
        return Qt::RoundCap;
    default:
        return Qt::FlatCap;
    }
}

Qt::PenJoinStyle joinStyle(qint32 join) {
    return join == 1 ? Qt::BevelJoin : join == 2 ? Qt::RoundJoin : Qt::MiterJoin;
}

QList<qreal> dashes(qint32 style) {
    switch (style) {
    case 1:
        return {3, 1};
    case 2:
        return {1, 1};
    case 3:
        return {3, 1, 1, 1};
    case 4:
        return {3, 1, 1, 1, 1, 1};
    default:
        return {};
    }
}

// Pen data: flags, unit, width, the optional parts the flags name in order,
// then the brush that paints the line.
PlusPen pen(const ByteReader& d, const RenderLimits& limits) {
    PlusPen p;
    const quint32 flags = d.u32(8);
    p.unit = d.u32(12);
    const double width = d.f32(16);
    p.pen.setWidthF(std::isfinite(width) ? std::clamp(std::abs(width), 0.0, 1e6) : 0);
    p.pen.setCapStyle(Qt::FlatCap);
    p.pen.setJoinStyle(Qt::MiterJoin);
    qint64 at = 20;
    auto next = [&] {
        const qint64 value = at;
        at += 4;
        return value;
    };
    if (flags & PenTransform) at += 24;
    const Qt::PenCapStyle start = flags & StartCap ? capStyle(d.i32(next())) : Qt::FlatCap;
    if (flags & EndCap) next(); // Qt has one cap for both ends: the start's
    p.pen.setCapStyle(start);
    if (flags & Join) p.pen.setJoinStyle(joinStyle(d.i32(next())));
    if (flags & MiterLimit) {
        const double limit = d.f32(next());
        if (std::isfinite(limit)) p.pen.setMiterLimit(std::clamp(limit, 1.0, 100.0));
    }
    QList<qreal> pattern;
    if (flags & LineStyle) pattern = dashes(d.i32(next()));
    const Qt::PenCapStyle dashCap =
        flags & DashCap && d.i32(next()) == 2 ? Qt::RoundCap : Qt::FlatCap;
    double offset = 0;
    if (flags & DashOffset) offset = d.f32(next());
    if (flags & DashPattern) {
        const qint64 count = d.u32(next());
        d.require(at, count * 4);
        pattern.clear();
        for (qint64 k = 0; k < count && k < 64; ++k)
            pattern.append(std::clamp<double>(std::abs(d.f32(at + 4 * k)), 0.01, 1e4));
        if (pattern.size() % 2) pattern += pattern;
        at += count * 4;
    }
    if (!pattern.isEmpty()) {
        p.pen.setDashPattern(pattern);
        if (std::isfinite(offset)) p.pen.setDashOffset(offset);
        p.pen.setCapStyle(dashCap); // caps of the dashes, not of the line's ends
    }
    if (flags & Alignment) next();
    for (quint32 block : {Compound, CustomStartCap, CustomEndCap})
        if (flags & block) {
            const qint64 size = d.u32(at);
            at += 4 + (block == Compound ? size * 4 : size);
        }
    p.fill = Plus::brush(d.slice(at, d.size() - at), limits);
    return p;
}

PlusFont font(const ByteReader& d) {
    PlusFont f;
    f.emSize = d.f32(4);
    f.unit = d.u32(8);
    f.style = d.u32(12);
    const qint64 length = d.u32(20);
    d.require(24, length * 2);
    for (qint64 k = 0; k < length && k < 64; ++k)
        f.family.append(QChar(d.u16(24 + 2 * k)));
    if (!std::isfinite(f.emSize) || f.emSize <= 0) throw MalformedData{};
    return f;
}

PlusFormat format(const ByteReader& d) {
    return PlusFormat{d.u32(4), d.u32(12), d.u32(16)};
}

} // namespace

namespace Plus {

PlusObject object(int type, const ByteReader& d, const RenderLimits& limits) {
    switch (type) {
    case Brush:
        return brush(d, limits);
    case Pen:
        return pen(d, limits);
    case Path:
        return path(d);
    case Region: {
        PlusRegion r;
        r.area = region(d, &r.infinite);
        return r;
    }
    case Image:
        return image(d, limits);
    case Font:
        return font(d);
    case StringFormat:
        return format(d);
    default:
        return std::monostate{};
    }
}

} // namespace Plus
