#pragma once

#include <QPainterPath>
#include <QRectF>

// Qt's antialiasing rasteriser walks every scan line an edge spans, band
// after band, outside the picture as well as inside: a shape reaching a
// million pixels beyond a small picture takes seconds though nothing of that
// shows. Cut to the area first, every point inside keeps its winding number,
// so the area looks the same. Curves come back as lines.
QPainterPath cutToArea(const QPainterPath& shape, const QRectF& area);
