#pragma once

#include "formats/metafile/ByteReader.h"
#include "formats/metafile/Limits.h"

#include <QBrush>
#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QPen>
#include <QString>

#include <optional>
#include <variant>

// The objects of an EMF+ table, as far as drawing needs them. Brushes and
// pens are in world units; they are mapped to the picture when used.
struct PlusBrush {
    QBrush brush = QBrush(Qt::black);
    std::optional<QColor> background; // hatches paint it between their lines
};

struct PlusPen {
    QPen pen;         // width in `unit`, solid black brush until `fill` says
    quint32 unit = 0; // 0: world units
    PlusBrush fill;
};

struct PlusRegion {
    QPainterPath area; // world units
    bool infinite = false;
};

struct PlusImage {
    QImage bitmap;       // a bitmap, or null
    QByteArray metafile; // a nested WMF or EMF, when no bitmap
};

struct PlusFont {
    double emSize = 12;
    quint32 unit = 3;  // points
    quint32 style = 0; // 1 bold, 2 italic, 4 underline, 8 strikeout
    QString family;
};

struct PlusFormat {
    quint32 flags = 0;
    quint32 align = 0;     // near, centre, far
    quint32 lineAlign = 0; // the same, across the lines
};

using PlusObject = std::variant<std::monostate, PlusBrush, PlusPen, QPainterPath, PlusRegion,
                                PlusImage, PlusFont, PlusFormat>;

namespace Plus {
enum ObjectType { Brush = 1, Pen, Path, Region, Image, Font, StringFormat };

// An object of the type from its serialized form; throws MalformedData.
PlusObject object(int type, const ByteReader& d, const RenderLimits& limits);
PlusBrush brush(const ByteReader& d, const RenderLimits& limits);
PlusImage image(const ByteReader& d, const RenderLimits& limits);
} // namespace Plus
