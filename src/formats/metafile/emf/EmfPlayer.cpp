#include "formats/metafile/Metafile.h"
#include "formats/metafile/Rendering.h"
#include "formats/metafile/canvas/GdiCanvas.h"
#include "formats/metafile/emf/EmfRecord.h"
#include "formats/metafile/emfplus/PlusPlayer.h"
#include "system/PlatformError.h"

namespace {

constexpr quint32 Signature = 0x464D4520; // " EMF"
constexpr qint64 HeaderSize = 88;
constexpr quint32 Comment = 70;

// Walks the record chain without playing it: a broken chain fails the file
// before anything is drawn.
void checkRecords(const ByteReader& file) {
    qint64 pos = file.u32(4);
    while (file.has(pos, 8)) {
        const quint32 size = file.u32(pos + 4);
        if (size < 8 || size > quint64(file.size() - pos)) throw MalformedData{};
        if (file.u32(pos) == 14) return;
        pos += size;
    }
}

void playRecords(const ByteReader& file, GdiCanvas& canvas, const RenderLimits& limits) {
    qint64 pos = file.u32(4); // past the header record
    PlusPlayer plus(canvas, limits, plusRecordsDraw(file, pos));
    while (file.has(pos, 8) && canvas.nextRecord()) {
        EmfRecord r;
        r.type = file.u32(pos);
        const quint32 size = file.u32(pos + 4);
        if (r.type == 14) return; // EMR_EOF
        r.data = file.slice(pos, size);
        r.palette = &canvas.dc().palette;
        // EMF+ records ride in comments; where they draw, the GDI records
        // that follow are their fallback.
        const bool drawn = r.type == Comment ? plus.playComment(r.data) : false;
        if (drawn || !plus.gdiDraws()) {
            pos += size;
            continue;
        }
        try {
            playEmfState(r, canvas) || playEmfDrawing(r, canvas) ||
                playEmfObject(r, canvas, limits) || playEmfBitmap(r, canvas, limits) ||
                playEmfText(r, canvas);
        } catch (const MalformedData&) {
            // a record that lies about its contents is skipped
        }
        pos += size;
    }
}

PlaySetup setupFor(const ByteReader& file, const RenderLimits& limits) {
    if (file.u32(4) < HeaderSize || file.u32(4) > quint64(file.size())) throw MalformedData{};
    // A file shorter than its header says has lost its end.
    if (file.u32(48) > quint64(file.size())) throw MalformedData{};
    PlaySetup setup;
    setup.objectCapacity = file.u16(56);
    // The reference device: pixels and millimetres.
    const double devW = file.i32(72), devH = file.i32(76);
    const double mmW = file.i32(80), mmH = file.i32(84);
    const bool deviceKnown = devW > 0 && devH > 0 && mmW > 0 && mmH > 0;
    const double pxPerMmX = deviceKnown ? devW / mmW : 96 / 25.4;
    const double pxPerMmY = deviceKnown ? devH / mmH : 96 / 25.4;
    setup.devicePixelsPerMm = pxPerMmX;
    // The frame, in hundredths of a millimetre, is the picture at 96 dots per
    // inch. Some writers give its corners the wrong way round.
    const QRectF frame =
        QRectF(QPointF(file.i32(24), file.i32(28)), QPointF(file.i32(32), file.i32(36)))
            .normalized();
    if (frame.width() > 0 && frame.height() > 0) {
        const QSize size =
            checkedPictureSize(frame.width() * 96 / 2540, frame.height() * 96 / 2540, limits);
        setup.size = size;
        const QRectF device(frame.left() / 100 * pxPerMmX, frame.top() / 100 * pxPerMmY,
                            frame.width() / 100 * pxPerMmX, frame.height() / 100 * pxPerMmY);
        setup.deviceToPicture =
            QTransform::fromTranslate(-device.left(), -device.top()) *
            QTransform::fromScale(size.width() / device.width(), size.height() / device.height());
    }
    return setup;
}

} // namespace

bool isEmf(QByteArrayView bytes) {
    const ByteReader r(bytes);
    return r.has(0, HeaderSize) && r.u32(0) == 1 && r.u32(40) == Signature;
}

QImage renderEmf(QByteArrayView bytes, const RenderLimits& limits) {
    const ByteReader file(bytes);
    try {
        if (!isEmf(bytes)) throw MalformedData{};
        const PlaySetup setup = setupFor(file, limits);
        checkRecords(file);
        return renderMetafile(
            setup, [&](GdiCanvas& canvas) { playRecords(file, canvas, limits); }, limits);
    } catch (const MalformedData&) {
        throw PlatformError(Err::InvalidPicture, QStringLiteral("damaged EMF"));
    }
}
