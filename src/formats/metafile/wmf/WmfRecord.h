#pragma once

#include "formats/metafile/ByteReader.h"
#include "formats/metafile/Limits.h"
#include "formats/metafile/canvas/GdiObjects.h"

#include <QColor>
#include <QPointF>
#include <QRectF>

class GdiCanvas;

// One WMF record: its function and the parameter words after it. WMF lists
// coordinates last to first (y before x, bottom before top).
struct WmfRecord {
    quint16 function = 0;
    quint32 words = 0; // the whole record, in 16-bit words
    ByteReader params;
    const QList<QColor>* palette = nullptr; // the device context's, for palette indices

    int w(int i) const { return params.i16(2 * i); }
    quint32 u32(int i) const { return params.u32(2 * i); }
    QPointF yx(int i) const { return QPointF(w(i + 1), w(i)); }
    QRectF box(int i) const { // bottom, right, top, left
        return QRectF(QPointF(w(i + 3), w(i + 2)), QPointF(w(i + 1), w(i)));
    }
    QColor color(int i) const { return colorRef(u32(i), palette); }
    // The bitmap-less forms of the blit records are exactly this long.
    bool withoutBitmap() const { return words == quint32(function >> 8) + 3; }
};

// Each returns false when the record is none of its kind.
bool playWmfState(const WmfRecord& r, GdiCanvas& canvas);
bool playWmfDrawing(const WmfRecord& r, GdiCanvas& canvas);
bool playWmfObject(const WmfRecord& r, GdiCanvas& canvas, const RenderLimits& limits);
bool playWmfBitmap(const WmfRecord& r, GdiCanvas& canvas, const RenderLimits& limits);
bool playWmfText(const WmfRecord& r, GdiCanvas& canvas);
