#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/emfplus/PlusPlayer.h"

#include <QTextLayout>

#include <cmath>

namespace {

enum : quint32 { RightToLeft = 0x1, NoWrap = 0x1000, NoClip = 0x4000 };
enum : quint32 { CmapLookup = 0x1, RealizedAdvance = 0x4 };

double scaleOf(const QTransform& t) {
    const double det = t.determinant();
    return std::isfinite(det) ? std::sqrt(std::abs(det)) : 0;
}

// Text is laid out in world units scaled to picture pixels, so that the font
// gets its size in pixels and turns and mirrors with the world.
struct TextSpace {
    double scale = 0;     // picture pixels per world unit
    QTransform toPicture; // text space to picture pixels
    QFont font;
};

std::optional<TextSpace> textSpace(const PlusPlayer& p, const PlusFont& f) {
    TextSpace t;
    const QTransform world = p.worldToPicture();
    t.scale = scaleOf(world);
    const double em = f.unit == 0
                          ? f.emSize * t.scale
                          : f.emSize * p.unitPixels(f.unit) * scaleOf(p.canvas().deviceToPicture());
    if (!(t.scale > 0) || !(em >= 0.5) || em > MetafileCaps::MaxFontPixels) return std::nullopt;
    t.toPicture = QTransform::fromScale(1 / t.scale, 1 / t.scale) * world;
    if (!f.family.isEmpty()) t.font.setFamilies({f.family});
    t.font.setPixelSize(std::max(1, int(std::lround(em))));
    t.font.setBold(f.style & 1);
    t.font.setItalic(f.style & 2);
    t.font.setUnderline(f.style & 4);
    t.font.setStrikeOut(f.style & 8);
    return t;
}

QColor textColor(const PlusBrush& b) {
    if (const QGradient* g = b.brush.gradient(); g && !g->stops().isEmpty())
        return g->stops().first().second;
    return b.brush.color();
}

// Lines broken to the box's width, aligned in it, and cut to it unless the
// format says otherwise.
void drawString(const PlusRecord& r, PlusPlayer& p) {
    const PlusFont* font = p.get<PlusFont>(r.objectId());
    const auto brush = p.brush(r, r.u(0));
    if (!font || !brush) return;
    const PlusFormat* given = p.get<PlusFormat>(r.u(4));
    const PlusFormat format = given ? *given : PlusFormat{};
    const qint64 length = r.u(8);
    r.data.require(28, length * 2);
    QString text;
    text.reserve(length);
    for (qint64 k = 0; k < length; ++k) {
        const QChar c(r.data.u16(28 + 2 * k));
        if (c != u'\r') text.append(c == u'\n' ? QChar::LineSeparator : c);
    }
    const auto space = textSpace(p, *font);
    if (!space || text.isEmpty()) return;
    const QRectF box =
        QTransform::fromScale(space->scale, space->scale).mapRect(Plus::rect(r.data, 12, false));
    if (!std::isfinite(box.left()) || !std::isfinite(box.top()) || !std::isfinite(box.width()) ||
        !std::isfinite(box.height()))
        return;
    const bool sized = box.width() > 0 && box.height() > 0;
    QTextLayout layout(text, space->font);
    QTextOption option;
    option.setWrapMode(format.flags & NoWrap || box.width() <= 0 ? QTextOption::NoWrap
                                                                 : QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    double height = 0;
    for (int lines = 0; lines < 1000; ++lines) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        if (box.width() > 0) line.setLineWidth(box.width());
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    // Near, centre and far; right to left turns near and far around.
    auto offset = [](quint32 align, double room, bool mirrored) {
        if (align == 1) return room / 2;
        return (align == 2) != mirrored ? room : 0.0;
    };
    const bool rtl = format.flags & RightToLeft;
    const double top = box.top() + offset(format.lineAlign, box.height() - height, false);
    const bool clipped = sized && !(format.flags & NoClip);
    if (clipped) {
        QPainterPath cut;
        cut.addRect(box);
        const QPainterPath picture = space->toPicture.map(cut);
        if (!Plus::finite(picture)) return;
        const auto& clip = p.state().clip;
        p.canvas().surface().setClip(clip ? clip->intersected(picture) : picture);
    } else {
        p.showClip();
    }
    const QColor color = textColor(*brush);
    for (int k = 0; k < layout.lineCount(); ++k) {
        const QTextLine line = layout.lineAt(k);
        // The line's break (a space or a line separator) is not drawn.
        QString part = text.mid(line.textStart(), line.textLength());
        while (!part.isEmpty() && part.back().isSpace())
            part.chop(1);
        if (part.isEmpty()) continue;
        const double x =
            box.left() + offset(format.align, box.width() - line.naturalTextWidth(), rtl);
        const QPointF origin(x, top + line.y() + line.ascent());
        p.canvas().surface().text(part, space->font, color,
                                  QTransform::fromTranslate(origin.x(), origin.y()) *
                                      space->toPicture);
    }
    p.showClip();
}

// Characters with a position each, or from the first one on with their
// own advances. Glyph indices name glyphs of a font we do not have.
void drawDriverString(const PlusRecord& r, PlusPlayer& p) {
    const PlusFont* font = p.get<PlusFont>(r.objectId());
    const auto brush = p.brush(r, r.u(0));
    const quint32 options = r.u(4);
    const qint64 count = r.u(12);
    r.data.require(16, count * 10);
    if (!font || !brush || !(options & CmapLookup) || count == 0) return;
    const auto space = textSpace(p, *font);
    if (!space) return;
    p.showClip();
    const qint64 positionsAt = 16 + count * 2;
    const QColor color = textColor(*brush);
    auto draw = [&](const QString& text, qint64 k) {
        const QPointF at =
            QPointF(r.f(positionsAt + 8 * k), r.f(positionsAt + 8 * k + 4)) * space->scale;
        if (std::isfinite(at.x()) && std::isfinite(at.y()))
            p.canvas().surface().text(text, space->font, color,
                                      QTransform::fromTranslate(at.x(), at.y()) * space->toPicture);
    };
    if (options & RealizedAdvance) {
        QString text;
        for (qint64 k = 0; k < count; ++k)
            text.append(QChar(r.data.u16(16 + 2 * k)));
        draw(text, 0);
        return;
    }
    for (qint64 k = 0; k < count; ++k)
        draw(QString(QChar(r.data.u16(16 + 2 * k))), k);
}

} // namespace

bool playPlusText(const PlusRecord& r, PlusPlayer& p) {
    if (r.type == 0x401C)
        drawString(r, p);
    else if (r.type == 0x4036)
        drawDriverString(r, p);
    else
        return false;
    return true;
}
