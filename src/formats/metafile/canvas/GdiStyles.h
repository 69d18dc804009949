#pragma once

#include "formats/metafile/canvas/GdiObjects.h"

#include <QBrush>
#include <QFont>
#include <QPen>

#include <optional>

// GDI pens, brushes and fonts as Qt draws them in picture pixels; scale is
// picture pixels per logical unit.
std::optional<QPen> qtPen(const PenSpec& pen, double scale);
QBrush qtBrush(const BrushSpec& brush); // Qt::NoBrush for a null brush
bool isHatched(const BrushSpec& brush);
QFont qtFont(const FontSpec& font, double pixelHeight, double pixelWidth);
