#include "formats/TextDecoding.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/emf/EmfRecord.h"

namespace {

enum : quint32 { EtoNoRect = 0x100, EtoSmallChars = 0x200, EtoPdy = 0x2000 };

QString readText(const EmfRecord& r, const GdiCanvas& c, qint64 at, qint64 count, bool wide) {
    r.data.require(at, count * (wide ? 2 : 1));
    if (!wide)
        return decodeCodePage(r.data.view().sliced(at, count),
                              codePageForCharset(c.dc().font.charset));
    QString text;
    text.reserve(count);
    for (qint64 k = 0; k < count; ++k)
        text.append(QChar(r.data.u16(at + 2 * k)));
    return text;
}

// EMR_EXTTEXTOUTA/W: bounds, graphics mode, scales, then an EMRTEXT. Windows
// writes the EMRTEXT whole, its rectangle included even when the options
// say it has none.
void extTextOut(const EmfRecord& r, GdiCanvas& c, bool wide) {
    const QPointF at = r.point(36);
    const qint64 count = r.u(44);
    const quint32 options = r.u(52);
    const bool hasRect = !(options & EtoNoRect);
    const QRectF rect = r.rect(56);
    const QString text = readText(r, c, r.u(48), count, wide);
    const qint64 dxAt = r.u(72);
    // With ETO_PDY each character has a vertical advance after its horizontal one.
    const bool pdy = options & EtoPdy;
    const qint64 step = pdy ? 8 : 4;
    QList<QPointF> dx;
    if (dxAt != 0 && text.size() == count && r.data.has(dxAt, count * step))
        for (qint64 k = 0; k < count; ++k)
            dx.append(QPointF(r.i(dxAt + k * step), pdy ? r.i(dxAt + k * step + 4) : 0));
    c.textOut(at, text, options, hasRect ? &rect : nullptr, dx);
}

// EMR_SMALLTEXTOUT: a point, the count, options and scales, a rectangle unless
// the options leave it out, then 8- or 16-bit characters.
void smallTextOut(const EmfRecord& r, GdiCanvas& c) {
    const qint64 count = r.u(16);
    const quint32 options = r.u(20);
    const bool hasRect = !(options & EtoNoRect);
    const QRectF rect = hasRect ? r.rect(36) : QRectF();
    const QString text = readText(r, c, hasRect ? 52 : 36, count, !(options & EtoSmallChars));
    c.textOut(r.point(8), text, options, hasRect ? &rect : nullptr, {});
}

} // namespace

bool playEmfText(const EmfRecord& r, GdiCanvas& c) {
    switch (r.type) {
    case 83:
        extTextOut(r, c, false);
        break;
    case 84:
        extTextOut(r, c, true);
        break;
    case 108:
        smallTextOut(r, c);
        break;
    default:
        return false;
    }
    return true;
}
