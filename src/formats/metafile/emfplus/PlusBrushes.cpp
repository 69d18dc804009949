#include "formats/metafile/emfplus/PlusObjects.h"
#include "formats/metafile/emfplus/PlusRecord.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

enum BrushFlags : quint32 {
    HasPath = 0x01,
    HasTransform = 0x02,
    HasPresetColors = 0x04,
    HasBlendH = 0x08,
    HasBlendV = 0x10,
    HasFocusScales = 0x40,
};

QColor mixed(const QColor& a, const QColor& b, double t) {
    auto mix = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()),
                  mix(a.alpha(), b.alpha()));
}

QBrush hatch(quint32 style, const QColor& fore, const QColor& back) {
    static const Qt::BrushStyle lines[] = {Qt::HorPattern,   Qt::VerPattern,
                                           Qt::FDiagPattern, Qt::BDiagPattern,
                                           Qt::CrossPattern, Qt::DiagCrossPattern};
    // 5 to 90 percent of the foreground
    static const Qt::BrushStyle dots[] = {Qt::Dense7Pattern, Qt::Dense7Pattern, Qt::Dense6Pattern,
                                          Qt::Dense6Pattern, Qt::Dense5Pattern, Qt::Dense5Pattern,
                                          Qt::Dense4Pattern, Qt::Dense3Pattern, Qt::Dense3Pattern,
                                          Qt::Dense2Pattern, Qt::Dense2Pattern, Qt::Dense1Pattern};
    if (style < 6) return QBrush(fore, lines[style]);
    if (style < 18) return QBrush(fore, dots[style - 6]);
    return QBrush(mixed(back, fore, 0.5)); // the finer patterns, as the colour they make
}

// Positions then values, count of each; presets are colours, factors blend.
void addStops(QGradient& g, const ByteReader& d, qint64& at, bool colors, const QColor& from,
              const QColor& to, bool fromOutside) {
    const qint64 count = d.u32(at);
    d.require(at + 4, count * 8);
    QGradientStops stops;
    for (qint64 k = 0; k < count && k < 256; ++k) {
        const double pos = std::clamp<double>(d.f32(at + 4 + 4 * k), 0, 1);
        const qint64 valueAt = at + 4 + 4 * count + 4 * k;
        const QColor c = colors ? Plus::argb(d.u32(valueAt))
                                : mixed(from, to, std::clamp<double>(d.f32(valueAt), 0, 1));
        stops.append({fromOutside ? 1 - pos : pos, c});
    }
    at += 4 + count * 8;
    std::sort(stops.begin(), stops.end(),
              [](const QGradientStop& a, const QGradientStop& b) { return a.first < b.first; });
    if (!stops.isEmpty()) g.setStops(stops);
}

QGradient::Spread spread(qint32 wrap) {
    return wrap == 4   ? QGradient::PadSpread
           : wrap == 0 ? QGradient::RepeatSpread
                       : QGradient::ReflectSpread;
}

PlusBrush linear(const ByteReader& d) {
    const quint32 flags = d.u32(8);
    const QRectF box = Plus::rect(d, 16, false);
    const QColor start = Plus::argb(d.u32(32)), end = Plus::argb(d.u32(36));
    QLinearGradient g(box.left(), box.top(), box.right(), box.top());
    g.setColorAt(0, start);
    g.setColorAt(1, end);
    g.setSpread(spread(d.i32(12)));
    qint64 at = 48;
    QTransform t;
    if (flags & HasTransform) {
        t = Plus::matrix(d, at).value_or(QTransform());
        at += 24;
    }
    if (flags & HasPresetColors)
        addStops(g, d, at, true, start, end, false);
    else if (flags & (HasBlendH | HasBlendV))
        addStops(g, d, at, false, start, end, false);
    PlusBrush b{QBrush(g), std::nullopt};
    b.brush.setTransform(t);
    return b;
}

// A path gradient as a radial one over the ellipse its boundary spans.
PlusBrush pathGradient(const ByteReader& d) {
    const quint32 flags = d.u32(8);
    const QColor center = Plus::argb(d.u32(16));
    const QPointF c(d.f32(20), d.f32(24));
    const qint64 colors = d.u32(28);
    d.require(32, colors * 4);
    const QColor outside = colors > 0 ? Plus::argb(d.u32(32)) : center;
    qint64 at = 32 + colors * 4;
    QRectF bounds;
    if (flags & HasPath) {
        const qint64 size = d.u32(at);
        bounds = Plus::path(d.slice(at + 4, size)).boundingRect();
        at += 4 + size;
    } else {
        const qint64 count = d.u32(at);
        bounds = Plus::points(d, at + 4, count, 0, &at).boundingRect();
    }
    QTransform t;
    if (flags & HasTransform) {
        t = Plus::matrix(d, at).value_or(QTransform());
        at += 24;
    }
    QRadialGradient g(QPointF(0, 0), 1);
    g.setColorAt(0, center);
    g.setColorAt(1, outside);
    if (flags & HasPresetColors)
        addStops(g, d, at, true, outside, center, true);
    else if (flags & HasBlendH)
        addStops(g, d, at, false, outside, center, true);
    const double rx = std::max(std::abs(bounds.left() - c.x()), std::abs(bounds.right() - c.x()));
    const double ry = std::max(std::abs(bounds.top() - c.y()), std::abs(bounds.bottom() - c.y()));
    PlusBrush b{QBrush(g), std::nullopt};
    if (!(rx > 0 && ry > 0)) return PlusBrush{QBrush(center), std::nullopt};
    b.brush.setTransform(QTransform(rx, 0, 0, ry, c.x(), c.y()) * t);
    return b;
}

PlusBrush texture(const ByteReader& d, const RenderLimits& limits) {
    qint64 at = 16;
    QTransform t;
    if (d.u32(8) & HasTransform) {
        t = Plus::matrix(d, at).value_or(QTransform());
        at += 24;
    }
    const PlusImage image = Plus::image(d.slice(at, d.size() - at), limits);
    if (image.bitmap.isNull() ||
        qint64(image.bitmap.width()) * image.bitmap.height() > limits.maxPatternPixels)
        return PlusBrush{QBrush(Qt::gray), std::nullopt};
    PlusBrush b{QBrush(image.bitmap), std::nullopt};
    b.brush.setTransform(t);
    return b;
}

} // namespace

namespace Plus {

PlusBrush brush(const ByteReader& d, const RenderLimits& limits) {
    switch (d.u32(4)) {
    case 0:
        return PlusBrush{QBrush(argb(d.u32(8))), std::nullopt};
    case 1: {
        const quint32 style = d.u32(8);
        const QColor back = argb(d.u32(16));
        PlusBrush b{hatch(style, argb(d.u32(12)), back), std::nullopt};
        if (style < 18) b.background = back;
        return b;
    }
    case 2:
        return texture(d, limits);
    case 3:
        return pathGradient(d);
    case 4:
        return linear(d);
    default:
        throw MalformedData{};
    }
}

} // namespace Plus
