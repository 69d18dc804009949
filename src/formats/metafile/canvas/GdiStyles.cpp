#include "formats/metafile/canvas/GdiStyles.h"

#include "formats/metafile/Limits.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

enum : quint32 {
    EndCapMask = 0x0F00,
    EndCapSquare = 0x0100,
    EndCapFlat = 0x0200,
    JoinMask = 0xF000,
    JoinBevel = 0x1000,
    JoinMiter = 0x2000,
    Geometric = 0x00010000,
};

Qt::PenStyle dashStyle(quint32 style) {
    switch (style & 0x0F) {
    case Gdi::PsDash:
        return Qt::DashLine;
    case Gdi::PsDot:
        return Qt::DotLine;
    case Gdi::PsDashDot:
        return Qt::DashDotLine;
    case Gdi::PsDashDotDot:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

void setUserDashes(QPen& pen, const QList<double>& dashes, double scale, double width) {
    QList<qreal> pattern;
    for (double d : dashes)
        pattern.append(std::clamp(d * scale / width, 0.01, 1e4));
    if (pattern.size() % 2) pattern += pattern;
    if (!pattern.isEmpty()) pen.setDashPattern(pattern);
}

} // namespace

std::optional<QPen> qtPen(const PenSpec& desc, double scale) {
    if ((desc.style & 0x0F) == Gdi::PsNull) return std::nullopt;
    const double width = std::clamp(desc.width * scale, 1.0, 32000.0); // QPen's own limit
    QPen pen(desc.color, width, dashStyle(desc.style));
    const bool thick = desc.width * scale > 1.5;
    if (desc.roundByDefault) {
        pen.setCapStyle(thick ? Qt::RoundCap : Qt::FlatCap);
        pen.setJoinStyle(thick ? Qt::RoundJoin : Qt::MiterJoin);
    } else if (!(desc.style & Geometric)) {
        pen.setCapStyle(Qt::FlatCap);
    } else {
        const quint32 cap = desc.style & EndCapMask, join = desc.style & JoinMask;
        pen.setCapStyle(cap == EndCapSquare ? Qt::SquareCap
                        : cap == EndCapFlat ? Qt::FlatCap
                                            : Qt::RoundCap);
        pen.setJoinStyle(join == JoinBevel   ? Qt::BevelJoin
                         : join == JoinMiter ? Qt::MiterJoin
                                             : Qt::RoundJoin);
    }
    if ((desc.style & 0x0F) == Gdi::PsUserStyle) setUserDashes(pen, desc.dashes, scale, width);
    return pen;
}

bool isHatched(const BrushSpec& brush) {
    return brush.style == Gdi::BsHatched && brush.hatch <= 5;
}

QBrush qtBrush(const BrushSpec& desc) {
    static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                             Qt::FDiagPattern, Qt::BDiagPattern,
                                             Qt::CrossPattern, Qt::DiagCrossPattern};
    switch (desc.style) {
    case Gdi::BsNull:
        return Qt::NoBrush;
    case Gdi::BsHatched:
        return isHatched(desc) ? QBrush(desc.color, hatches[desc.hatch]) : QBrush(desc.color);
    case Gdi::BsPattern:
    case Gdi::BsDibPattern:
    case Gdi::BsDibPatternPt:
        if (!desc.pattern.isNull()) return QBrush(desc.pattern);
        return QBrush(desc.color);
    default:
        return QBrush(desc.color);
    }
}

QFont qtFont(const FontSpec& desc, double pixelHeight, double pixelWidth) {
    QFont font;
    if (!desc.face.isEmpty()) font.setFamilies({desc.face});
    font.setPixelSize(std::max(1, int(std::lround(pixelHeight))));
    font.setWeight(QFont::Weight(std::clamp(desc.weight == 0 ? 400 : desc.weight, 100, 900)));
    font.setItalic(desc.italic);
    font.setUnderline(desc.underline);
    font.setStrikeOut(desc.strikeOut);
    const QFontMetricsF metrics(font);
    // A positive height is the cell (ascent and descent), not the em.
    if (desc.height > 0 && metrics.height() > 0)
        font.setPixelSize(
            std::max(1, int(std::lround(pixelHeight * pixelHeight / metrics.height()))));
    if (pixelWidth > 0) {
        const double average = QFontMetricsF(font).averageCharWidth();
        if (average > 0) font.setStretch(int(std::clamp(pixelWidth / average * 100, 1.0, 4000.0)));
    }
    return font;
}
