#pragma once

#include "formats/metafile/ByteReader.h"

#include <QColor>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>

#include <optional>

// One EMF+ record: its type, its flags and the data after its header (12
// bytes; 16 for the pieces of a continued object, which give its size).
struct PlusRecord {
    quint16 type = 0;
    quint16 flags = 0;
    quint32 total = 0; // a continued object's whole size
    ByteReader data;

    quint32 u(qint64 at) const { return data.u32(at); }
    qint32 i(qint64 at) const { return data.i32(at); }
    double f(qint64 at) const { return data.f32(at); }
    quint8 objectId() const { return quint8(flags & 0xFF); }
};

namespace Plus {
enum Flags : quint16 {
    BrushIsColor = 0x8000, // S: the brush field holds an ARGB colour
    Compressed = 0x4000,   // C: 16-bit integer coordinates
    Relative = 0x0800,     // P: relative points of one or two bytes
    Closed = 0x2000,       // L of DrawLines, W of FillClosedCurve, A of transforms
};

// GDI+ colours are ARGB, alpha kept.
inline QColor argb(quint32 v) {
    return QColor(int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF), int(v >> 24));
}

// Reads count points at `at` in the form the flags give; `end` gets the
// offset after them. Throws MalformedData when they do not fit.
QPolygonF points(const ByteReader& d, qint64 at, qint64 count, quint16 flags,
                 qint64* end = nullptr);
QRectF rect(const ByteReader& d, qint64 at, bool compressed);
std::optional<QTransform> matrix(const ByteReader& d, qint64 at);

// Whether every point of the path is a number (Qt's path clipper crashes
// on those that are not).
bool finite(const QPainterPath& path);

// The object forms that several records embed.
QPainterPath path(const ByteReader& d);
QPainterPath region(const ByteReader& d, bool* infinite);
} // namespace Plus
