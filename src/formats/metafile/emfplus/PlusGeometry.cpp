#include "formats/metafile/Limits.h"
#include "formats/metafile/canvas/AreaCut.h"
#include "formats/metafile/emfplus/PlusRecord.h"

#include <cmath>
#include <vector>

namespace {

// Real regions have a handful of nodes; combining thousands of shapes costs
// Qt time that grows faster than their number.
constexpr int MaxRegionDepth = 64;
constexpr int MaxRegionNodes = 512;
// Points take Qt 8 to 12 times the bytes they take in the file; no real
// picture has a million in one shape.
constexpr qint64 MaxPoints = 1 << 20;

// One coordinate of a relative point: 7 bits, or 15 when the high bit is set.
double relative(const ByteReader& d, qint64& at) {
    const quint8 first = d.u8(at++);
    if (!(first & 0x80)) return first & 0x40 ? int(first) - 0x80 : int(first);
    const int value = (first & 0x7F) << 8 | d.u8(at++);
    return value & 0x4000 ? value - 0x8000 : value;
}

// Within the bounds where shapes are drawn at all.
QPainterPath everywhere() {
    const double m = MetafileCaps::MaxCoordinate / 4;
    QPainterPath all;
    all.addRect(-m, -m, 2 * m, 2 * m);
    return all;
}

// A region's shapes are combined by Qt's path clipper: they must be numbers,
// and far from infinity.
QPainterPath leaf(const QPainterPath& shape) {
    if (!Plus::finite(shape)) throw MalformedData{};
    const double m = MetafileCaps::MaxCoordinate * 100;
    return cutToArea(shape, QRectF(-m, -m, 2 * m, 2 * m));
}

QPainterPath regionNode(const ByteReader& d, qint64& at, int depth, int& nodesLeft,
                        bool* infinite) {
    if (depth > MaxRegionDepth || --nodesLeft < 0) throw MalformedData{};
    const quint32 type = d.u32(at);
    at += 4;
    QPainterPath result;
    result.setFillRule(Qt::WindingFill);
    switch (type) {
    case 0x10000000: // rectangle
        result.addRect(Plus::rect(d, at, false).normalized());
        at += 16;
        return leaf(result);
    case 0x10000001: { // path
        const qint64 length = d.u32(at);
        result.addPath(Plus::path(d.slice(at + 4, length)));
        at += 4 + length;
        return leaf(result);
    }
    case 0x10000002: // empty
        return result;
    case 0x10000003: // infinite
        if (infinite) *infinite = true;
        return everywhere();
    default:
        break;
    }
    if (type < 1 || type > 5) throw MalformedData{};
    const QPainterPath left = regionNode(d, at, depth + 1, nodesLeft, nullptr);
    const QPainterPath right = regionNode(d, at, depth + 1, nodesLeft, nullptr);
    switch (type) {
    case 1:
        return left.intersected(right);
    case 2:
        return left.united(right);
    case 3:
        return left.subtracted(right).united(right.subtracted(left));
    case 4:
        return left.subtracted(right);
    default:
        return right.subtracted(left);
    }
}

} // namespace

namespace Plus {

bool finite(const QPainterPath& path) {
    for (int k = 0; k < path.elementCount(); ++k)
        if (!std::isfinite(path.elementAt(k).x) || !std::isfinite(path.elementAt(k).y))
            return false;
    return true;
}

QPolygonF points(const ByteReader& d, qint64 at, qint64 count, quint16 flags, qint64* end) {
    const bool rel = flags & Relative, small = flags & Compressed;
    const qint64 least = rel ? 2 : small ? 4 : 8;
    if (count < 0 || count > MaxPoints) throw MalformedData{};
    d.require(at, count * least); // before anything is sized from the count
    QPolygonF result;
    result.reserve(count);
    QPointF last(0, 0);
    for (qint64 k = 0; k < count; ++k) {
        if (rel) {
            const double x = relative(d, at);
            const double y = relative(d, at);
            last += QPointF(x, y);
            result.append(last);
        } else if (small) {
            result.append(QPointF(d.i16(at), d.i16(at + 2)));
            at += 4;
        } else {
            result.append(QPointF(d.f32(at), d.f32(at + 4)));
            at += 8;
        }
    }
    if (end) *end = at;
    return result;
}

QRectF rect(const ByteReader& d, qint64 at, bool compressed) {
    if (compressed) return QRectF(d.i16(at), d.i16(at + 2), d.i16(at + 4), d.i16(at + 6));
    return QRectF(d.f32(at), d.f32(at + 4), d.f32(at + 8), d.f32(at + 12));
}

std::optional<QTransform> matrix(const ByteReader& d, qint64 at) {
    double m[6];
    for (int k = 0; k < 6; ++k) {
        m[k] = d.f32(at + 4 * k);
        if (!std::isfinite(m[k])) return std::nullopt;
    }
    return QTransform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

// EmfPlusPath: version, count, flags, points, then a type byte per point
// (run-length coded with relative points).
QPainterPath path(const ByteReader& d) {
    const qint64 count = d.u32(4); // bounded by points()
    const quint32 flags = d.u32(8);
    qint64 at = 12;
    const QPolygonF pts = points(d, at, count, quint16(flags & (Relative | Compressed)), &at);
    std::vector<quint8> types;
    types.reserve(size_t(count));
    while (qint64(types.size()) < count) {
        if (flags & Relative) {
            const quint8 run = d.u8(at), type = d.u8(at + 1);
            at += 2;
            for (int k = 0; k < (run & 0x3F) && qint64(types.size()) < count; ++k)
                types.push_back(type);
        } else {
            types.push_back(d.u8(at++));
        }
    }
    QPainterPath result;
    for (qint64 k = 0; k < count; ++k) {
        const int kind = types[size_t(k)] & 0x0F;
        if (kind == 0 || result.elementCount() == 0) {
            result.moveTo(pts[k]);
        } else if (kind == 3 && k + 2 < count) {
            result.cubicTo(pts[k], pts[k + 1], pts[k + 2]);
            k += 2;
        } else {
            result.lineTo(pts[k]);
        }
        if (types[size_t(k)] & 0x80) result.closeSubpath();
    }
    return result;
}

// EmfPlusRegion: version, node count, then a tree of nodes.
QPainterPath region(const ByteReader& d, bool* infinite) {
    if (infinite) *infinite = false;
    qint64 at = 8;
    int nodesLeft = MaxRegionNodes;
    return regionNode(d, at, 0, nodesLeft, infinite);
}

} // namespace Plus
