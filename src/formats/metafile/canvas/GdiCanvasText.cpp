#include "formats/metafile/canvas/GdiCanvas.h"

#include "formats/metafile/canvas/GdiStyles.h"
#include "formats/metafile/Limits.h"

#include <QFontMetricsF>

#include <cmath>

namespace {

enum : quint32 { EtoOpaque = 0x2, EtoClipped = 0x4, EtoGlyphIndex = 0x10 };

double vectorLength(double x, double y) {
    return std::sqrt(x * x + y * y);
}

} // namespace

void GdiCanvas::textOut(QPointF at, QString text, quint32 options, const QRectF* rect,
                        const QList<double>& dx) {
    // Writers often count the string's terminating NULs; they draw nothing.
    while (text.endsWith(QChar(0)))
        text.chop(1);
    if (rect && (options & EtoOpaque)) {
        QPainterPath box;
        box.addRect(rect->normalized());
        BrushSpec background;
        background.color = dc_.bkColor;
        fillShape(box, background);
    }
    // Glyph indices name glyphs of a font we do not have.
    if (text.isEmpty() || (options & EtoGlyphIndex)) return;
    if (dc_.textAlign & Gdi::TaUpdateCp) at = dc_.current;

    const QTransform t = toPicture();
    const double xScale = vectorLength(t.m11(), t.m12());
    const double yScale = vectorLength(t.m21(), t.m22());
    const double height = dc_.font.height == 0 ? 13 : std::abs(dc_.font.height) * yScale;
    if (!(height >= 1) || height > MetafileCaps::MaxFontPixels) return;
    const QFont font = qtFont(dc_.font, height, std::abs(dc_.font.width) * xScale);
    const QFontMetricsF metrics(font);

    QList<double> advances; // picture pixels
    double width = 0;
    if (dx.size() >= text.size()) {
        for (qsizetype i = 0; i < text.size(); ++i)
            advances.append(dx[i] * xScale);
        for (double a : advances)
            width += a;
    } else {
        width = metrics.horizontalAdvance(text);
    }
    if (!std::isfinite(width)) return;

    const quint32 horizontal = dc_.textAlign & Gdi::TaCenter;
    const quint32 vertical = dc_.textAlign & Gdi::TaBaseline;
    const double x0 = horizontal == Gdi::TaCenter  ? -width / 2
                      : horizontal == Gdi::TaRight ? -width
                                                   : 0;
    const double y0 = vertical == Gdi::TaBaseline ? 0
                      : vertical == Gdi::TaBottom ? -metrics.descent()
                                                  : metrics.ascent();
    // Compatible GDI keeps text upright; only a world transform turns it.
    const double turn = dc_.world.isIdentity() ? 0 : std::atan2(t.m12(), t.m11()) * 180 / M_PI;
    const QPointF origin = t.map(at);
    if (!(std::abs(origin.x()) < MetafileCaps::MaxCoordinate) ||
        !(std::abs(origin.y()) < MetafileCaps::MaxCoordinate))
        return;
    const QTransform textToPicture = QTransform().rotate(turn - dc_.font.escapement / 10.0) *
                                     QTransform::fromTranslate(origin.x(), origin.y());

    if (dc_.textAlign & Gdi::TaUpdateCp && horizontal != Gdi::TaCenter && xScale > 0)
        dc_.current.rx() += (horizontal == Gdi::TaRight ? -width : width) / xScale;

    if (inPath_) {
        QPainterPath outline;
        outline.addText(x0, y0, font, text);
        const QPainterPath picture = textToPicture.map(outline);
        path_.addPath(picture);
        return;
    }
    const bool clipped = rect && (options & EtoClipped);
    if (clipped) {
        QPainterPath box;
        box.addRect(rect->normalized());
        const QPainterPath boxPicture = t.map(box);
        surface_.setClip(dc_.clip ? dc_.clip->intersected(boxPicture) : boxPicture);
    }
    if (dc_.opaqueBackground) {
        QPainterPath back;
        back.addRect(x0, y0 - metrics.ascent(), width, metrics.height());
        surface_.fill(textToPicture.map(back), dc_.bkColor);
    }
    if (advances.isEmpty()) {
        surface_.text(text, font, dc_.textColor, QTransform::fromTranslate(x0, y0) * textToPicture);
    } else {
        double x = x0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
            const QString glyph = text.mid(i, pair ? 2 : 1);
            surface_.text(glyph, font, dc_.textColor,
                          QTransform::fromTranslate(x, y0) * textToPicture);
            x += advances[i] + (pair ? advances[i + 1] : 0);
            if (pair) ++i;
        }
    }
    if (clipped) applyClip();
}
