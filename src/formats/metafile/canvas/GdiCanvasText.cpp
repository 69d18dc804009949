#include "formats/metafile/canvas/GdiCanvas.h"

#include "formats/metafile/Limits.h"
#include "formats/metafile/canvas/GdiStyles.h"
#include "formats/metafile/canvas/SymbolFont.h"

#include <QFontMetricsF>

#include <cmath>

namespace {

enum : quint32 { EtoOpaque = 0x2, EtoClipped = 0x4, EtoGlyphIndex = 0x10 };

double vectorLength(double x, double y) {
    return std::sqrt(x * x + y * y);
}

} // namespace

// Where a string goes: its font in picture pixels, and in text space (the
// baseline's direction, pixels) the origin of each glyph.
struct GdiCanvas::TextPlacement {
    QFont font;
    double ascent = 0, lineHeight = 0;
    double width = 0;      // along the baseline
    QPointF start;         // the first glyph's origin, aligned
    QList<QPointF> glyphs; // the glyphs' origins from the start; empty: one run
    QTransform toPicture;  // text space to picture pixels
};

void GdiCanvas::textOut(QPointF at, QString text, quint32 options, const QRectF* rect,
                        const QList<QPointF>& advances) {
    // Writers often count the string's terminating NULs; they draw nothing.
    while (text.endsWith(QChar(0)))
        text.chop(1);
    if (isSymbolFont(dc_.font)) text = fromSymbolCodes(text);
    if (rect && (options & EtoOpaque)) fillTextBox(*rect);
    // Glyph indices name glyphs of a font we do not have.
    if (text.isEmpty() || (options & EtoGlyphIndex)) return;
    if (dc_.textAlign & Gdi::TaUpdateCp) at = dc_.current;
    const auto placed = placeText(at, text, advances);
    if (!placed) return;
    advanceCurrentPosition(placed->width);
    if (inPath_) {
        appendTextToPath(*placed, text);
        return;
    }
    const bool clipped = rect && (options & EtoClipped);
    if (clipped) {
        QPainterPath box;
        box.addRect(rect->normalized());
        const QPainterPath boxPicture = toPicture().map(box);
        surface_.setClip(dc_.clip ? dc_.clip->intersected(boxPicture) : boxPicture);
    }
    if (dc_.opaqueBackground) fillTextBackground(*placed);
    drawGlyphs(*placed, text);
    if (clipped) applyClip();
}

void GdiCanvas::fillTextBox(const QRectF& rect) {
    QPainterPath box;
    box.addRect(rect.normalized());
    BrushSpec background;
    background.color = dc_.bkColor;
    fillShape(box, background);
}

std::optional<GdiCanvas::TextPlacement> GdiCanvas::placeText(QPointF at, const QString& text,
                                                             const QList<QPointF>& advances) const {
    const QTransform t = toPicture();
    const double xScale = vectorLength(t.m11(), t.m12());
    const double yScale = vectorLength(t.m21(), t.m22());
    const double height = dc_.font.height == 0 ? 13 : std::abs(double(dc_.font.height)) * yScale;
    if (!(height >= 1) || height > MetafileCaps::MaxFontPixels) return std::nullopt;
    TextPlacement p;
    p.font = qtFont(dc_.font, height, std::abs(double(dc_.font.width)) * xScale);
    const QFontMetricsF metrics(p.font);
    p.ascent = metrics.ascent();
    p.lineHeight = metrics.height();
    if (advances.size() >= text.size()) {
        // Logical advances; a vertical one follows the logical y axis.
        const double down = t.m22() < 0 ? -yScale : yScale;
        QPointF origin(0, 0);
        for (qsizetype i = 0; i < text.size(); ++i) {
            p.glyphs.append(origin);
            origin += QPointF(advances[i].x() * xScale, advances[i].y() * down);
        }
        p.width = origin.x();
    } else {
        p.width = metrics.horizontalAdvance(text);
    }
    if (!std::isfinite(p.width)) return std::nullopt;
    const quint32 horizontal = dc_.textAlign & Gdi::TaCenter;
    const quint32 vertical = dc_.textAlign & Gdi::TaBaseline;
    p.start.rx() = horizontal == Gdi::TaCenter  ? -p.width / 2
                   : horizontal == Gdi::TaRight ? -p.width
                                                : 0;
    p.start.ry() = vertical == Gdi::TaBaseline ? 0
                   : vertical == Gdi::TaBottom ? -metrics.descent()
                                               : metrics.ascent();
    // Compatible GDI keeps text upright; only a world transform turns it.
    const double turn = dc_.world.isIdentity() ? 0 : std::atan2(t.m12(), t.m11()) * 180 / M_PI;
    const QPointF origin = t.map(at);
    if (!(std::abs(origin.x()) < MetafileCaps::MaxCoordinate) ||
        !(std::abs(origin.y()) < MetafileCaps::MaxCoordinate))
        return std::nullopt;
    p.toPicture = QTransform().rotate(turn - dc_.font.escapement / 10.0) *
                  QTransform::fromTranslate(origin.x(), origin.y());
    return p;
}

void GdiCanvas::advanceCurrentPosition(double width) {
    const quint32 horizontal = dc_.textAlign & Gdi::TaCenter;
    const double xScale = vectorLength(toPicture().m11(), toPicture().m12());
    if (dc_.textAlign & Gdi::TaUpdateCp && horizontal != Gdi::TaCenter && xScale > 0)
        dc_.current.rx() += (horizontal == Gdi::TaRight ? -width : width) / xScale;
}

void GdiCanvas::appendTextToPath(const TextPlacement& p, const QString& text) {
    QPainterPath outline;
    outline.addText(p.start, p.font, text);
    path_.addPath(p.toPicture.map(outline));
}

void GdiCanvas::fillTextBackground(const TextPlacement& p) {
    QPainterPath back;
    back.addRect(p.start.x(), p.start.y() - p.ascent, p.width, p.lineHeight);
    surface_.fill(p.toPicture.map(back), dc_.bkColor);
}

void GdiCanvas::drawGlyphs(const TextPlacement& p, const QString& text) {
    auto at = [&](QPointF offset) {
        return QTransform::fromTranslate(p.start.x() + offset.x(), p.start.y() + offset.y()) *
               p.toPicture;
    };
    if (p.glyphs.isEmpty()) {
        surface_.text(text, p.font, dc_.textColor, at({0, 0}));
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
        surface_.text(text.mid(i, pair ? 2 : 1), p.font, dc_.textColor, at(p.glyphs[i]));
        if (pair) ++i;
    }
}
