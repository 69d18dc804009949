#pragma once

#include "formats/metafile/canvas/GdiObjects.h"

#include <QPainterPath>
#include <QPointF>
#include <QTransform>

#include <optional>

namespace Gdi {
enum MapMode {
    MmText = 1,
    MmLoMetric,
    MmHiMetric,
    MmLoEnglish,
    MmHiEnglish,
    MmTwips,
    MmIsotropic,
    MmAnisotropic
};
enum TextAlign : quint32 {
    TaUpdateCp = 1,
    TaRight = 2,
    TaCenter = 6,
    TaBottom = 8,
    TaBaseline = 24
};
} // namespace Gdi

// Everything SaveDC keeps and RestoreDC brings back.
struct DcState {
    PenSpec pen;
    BrushSpec brush;
    FontSpec font;
    QList<QColor> palette; // the selected one's colours
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool opaqueBackground = true;
    quint32 textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    bool clockwiseArcs = false;

    int mapMode = Gdi::MmText;
    QPointF windowOrg{0, 0};
    QPointF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QPointF viewportExt{1, 1};
    // A plain WMF has no target rectangle: its viewport takes the window's
    // extent until the metafile sets one itself.
    bool viewportFollowsWindow = false;
    QTransform world;
    QPointF current{0, 0};
    std::optional<QPainterPath> clip; // picture pixels

    // Logical (after the world transform) to device units.
    QTransform pageTransform(double devicePixelsPerMm) const;
};
