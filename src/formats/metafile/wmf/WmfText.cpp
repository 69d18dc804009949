#include "formats/TextDecoding.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/wmf/WmfRecord.h"

namespace {

enum : quint16 { EtoOpaque = 0x2, EtoClipped = 0x4 };

QString text(const WmfRecord& r, const GdiCanvas& c, qint64 at, qint64 length) {
    r.params.require(at, length);
    return decodeCodePage(r.params.view().sliced(at, length),
                          codePageForCharset(c.dc().font.charset));
}

void textOut(const WmfRecord& r, GdiCanvas& c) {
    const qint64 length = r.params.u16(0);
    const qint64 after = 2 + (length + 1) / 2 * 2; // the string is padded to a word
    const QPointF at(r.params.i16(after + 2), r.params.i16(after));
    c.textOut(at, text(r, c, 2, length), 0, nullptr, {});
}

void extTextOut(const WmfRecord& r, GdiCanvas& c) {
    const QPointF at = r.yx(0);
    const qint64 length = r.params.u16(4);
    const quint16 options = r.params.u16(6);
    qint64 pos = 8;
    QRectF rect;
    const bool hasRect = options & (EtoOpaque | EtoClipped);
    if (hasRect) {
        rect = QRectF(QPointF(r.w(4), r.w(5)), QPointF(r.w(6), r.w(7)));
        pos += 8;
    }
    const QString string = text(r, c, pos, length);
    pos += (length + 1) / 2 * 2;
    QList<QPointF> dx;
    // Advances count bytes; a double-byte code page makes fewer characters.
    if (r.params.has(pos, length * 2) && string.size() == length)
        for (qint64 i = 0; i < length; ++i)
            dx.append(QPointF(r.params.i16(pos + 2 * i), 0));
    c.textOut(at, string, options, hasRect ? &rect : nullptr, dx);
}

} // namespace

bool playWmfText(const WmfRecord& r, GdiCanvas& c) {
    switch (r.function) {
    case 0x0521:
        textOut(r, c);
        break;
    case 0x0A32:
        extTextOut(r, c);
        break;
    default:
        return false;
    }
    return true;
}
