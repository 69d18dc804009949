#pragma once

#include "formats/metafile/ByteReader.h"
#include "formats/metafile/Limits.h"
#include "formats/metafile/canvas/GdiObjects.h"

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

class GdiCanvas;

// One EMF record, type and size included, so offsets count from its start.
struct EmfRecord {
    quint32 type = 0;
    ByteReader data;
    const QList<QColor>* palette = nullptr; // the device context's, for palette indices

    quint32 u(qint64 at) const { return data.u32(at); }
    qint32 i(qint64 at) const { return data.i32(at); }
    QPointF point(qint64 at) const { return QPointF(i(at), i(at + 4)); }
    QRectF rect(qint64 at) const { // left, top, right, bottom
        return QRectF(point(at), point(at + 8));
    }
    QColor color(qint64 at) const { return colorRef(u(at), palette); }
    // A block that an offset and a size in the record point at.
    QByteArrayView block(qint64 offsetAt, qint64 sizeAt) const {
        return data.slice(u(offsetAt), u(sizeAt)).view();
    }
};

// A region's rectangles (RGNDATA) as a path.
QPainterPath emfRegion(const ByteReader& data);

// Each returns false when the record is none of its kind.
bool playEmfState(const EmfRecord& r, GdiCanvas& canvas);
bool playEmfDrawing(const EmfRecord& r, GdiCanvas& canvas);
bool playEmfObject(const EmfRecord& r, GdiCanvas& canvas, const RenderLimits& limits);
bool playEmfBitmap(const EmfRecord& r, GdiCanvas& canvas, const RenderLimits& limits);
bool playEmfText(const EmfRecord& r, GdiCanvas& canvas);
