#include "formats/metafile/Metafile.h"
#include "formats/metafile/Rendering.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/wmf/WmfRecord.h"
#include "system/PlatformError.h"

#include <cmath>

namespace {

constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qint64 PlaceableSize = 22, HeaderSize = 18;

bool isStandardHeader(const ByteReader& r, qint64 at) {
    return r.has(at, HeaderSize) && (r.u16(at) == 1 || r.u16(at) == 2) && r.u16(at + 2) == 9 &&
           (r.u16(at + 4) == 0x0100 || r.u16(at + 4) == 0x0300);
}

// Walks the record chain without playing it: a broken chain fails the file
// before anything is drawn.
void checkRecords(const ByteReader& file, qint64 pos) {
    while (file.has(pos, 6)) {
        const quint32 words = file.u32(pos);
        if (words < 3 || words > quint64(file.size() - pos) / 2) throw MalformedData{};
        if (file.u16(pos + 4) == 0) return;
        pos += qint64(words) * 2;
    }
}

void playRecords(const ByteReader& file, qint64 pos, GdiCanvas& canvas,
                 const RenderLimits& limits) {
    while (file.has(pos, 6) && canvas.nextRecord()) {
        WmfRecord r;
        r.words = file.u32(pos);
        r.function = file.u16(pos + 4);
        if (r.function == 0) return; // META_EOF
        r.params = file.slice(pos + 6, qint64(r.words) * 2 - 6);
        r.palette = &canvas.dc().palette;
        try {
            playWmfState(r, canvas) || playWmfDrawing(r, canvas) ||
                playWmfObject(r, canvas, limits) || playWmfBitmap(r, canvas, limits) ||
                playWmfText(r, canvas);
        } catch (const MalformedData&) {
            // a record that lies about its contents is skipped
        }
        pos += qint64(r.words) * 2;
    }
}

PlaySetup setupFor(const ByteReader& file, bool placeable, const RenderLimits& limits) {
    PlaySetup setup;
    const qint64 header = placeable ? PlaceableSize : 0;
    setup.objectCapacity = file.u16(header + 10);
    // A file shorter than its header says has lost its end. Some writers
    // (Inkscape 1.x) count the placeable header in the size: allow that much.
    if (qint64(file.u32(header + 6)) * 2 > file.size() - header + PlaceableSize)
        throw MalformedData{};
    if (!placeable) {
        setup.initial.viewportFollowsWindow = true;
        return setup;
    }
    const QRectF box =
        QRectF(QPointF(file.i16(6), file.i16(8)), QPointF(file.i16(10), file.i16(12))).normalized();
    const int unitsPerInch = file.u16(14);
    if (unitsPerInch == 0 || box.width() <= 0 || box.height() <= 0) {
        setup.initial.viewportFollowsWindow = true;
        return setup;
    }
    const QSize size = checkedPictureSize(box.width() * 96 / unitsPerInch,
                                          box.height() * 96 / unitsPerInch, limits);
    setup.size = size;
    // The bounding box fills the picture until the records set a window of their own.
    setup.initial.mapMode = Gdi::MmAnisotropic;
    setup.initial.windowOrg = box.topLeft();
    setup.initial.windowExt = QPointF(box.width(), box.height());
    setup.initial.viewportExt = QPointF(size.width(), size.height());
    return setup;
}

} // namespace

bool isWmf(QByteArrayView bytes) {
    const ByteReader r(bytes);
    if (r.has(0, 4) && r.u32(0) == PlaceableKey) return true;
    return isStandardHeader(r, 0);
}

QImage renderWmf(QByteArrayView bytes, const RenderLimits& limits) {
    const ByteReader file(bytes);
    try {
        const bool placeable = file.has(0, 4) && file.u32(0) == PlaceableKey;
        const qint64 header = placeable ? PlaceableSize : 0;
        if (!isStandardHeader(file, header)) throw MalformedData{};
        const PlaySetup setup = setupFor(file, placeable, limits);
        const qint64 first = header + qint64(file.u16(header + 2)) * 2;
        checkRecords(file, first);
        return renderMetafile(
            setup, [&](GdiCanvas& canvas) { playRecords(file, first, canvas, limits); }, limits);
    } catch (const MalformedData&) {
        throw PlatformError(Err::InvalidPicture, QStringLiteral("damaged WMF"));
    }
}
