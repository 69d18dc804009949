#include "formats/PictureLoader.h"

#include "formats/IconFile.h"
#include "formats/OpaqueBitmaps.h"
#include "formats/RasterReading.h"
#include "formats/StoppableDevice.h"
#include "formats/metafile/ByteReader.h"
#include "formats/metafile/Metafile.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QFile>
#include <QImageReader>

#include <cstdlib>

namespace {

constexpr qint64 MaxPicturePixels = RenderLimits().maxPixels;

[[noreturn]] void invalid(const QString& why) {
    throw PlatformError(Err::InvalidPicture, why);
}

// Qt shows a cut-off JPEG or BMP with its missing part filled in; the viewer
// treats it as damaged, like any picture it cannot fully read.
bool isCutOff(QByteArrayView bytes) {
    if (bytes.startsWith("\xff\xd8")) { // JPEG: the end marker follows the last scan
        const qsizetype scan = bytes.lastIndexOf(QByteArrayView("\xff\xda", 2));
        return scan >= 0 && bytes.indexOf(QByteArrayView("\xff\xd9", 2), scan) < 0;
    }
    const ByteReader r(bytes);
    if (!bytes.startsWith("BM") || !r.has(0, 34) || r.u32(14) < 40) return false;
    const quint32 compression = r.u32(30);
    if (compression != 0 && compression != 3) return false; // run-length data ends where it ends
    const qint64 width = r.i32(18), height = std::abs(qint64(r.i32(22))), bits = r.u16(28);
    const qint64 stride = (width * bits + 31) / 32 * 4;
    return width > 0 && qint64(r.u32(10)) + stride * height > bytes.size();
}

bool needsWholeFile(QByteArrayView head) {
    return isWmf(head) || isEmf(head) || isIconFile(head) || head.startsWith("\xff\xd8") ||
           head.startsWith("BM");
}

} // namespace

QImage decodePicture(const QByteArray& bytes, QSize limit, const std::atomic<bool>* stop) {
    RenderLimits drawing;
    drawing.fitInto = limit;
    drawing.stop = stop;
    if (isWmf(bytes)) return renderWmf(bytes, drawing);
    if (isEmf(bytes)) return renderEmf(bytes, drawing);
    if (isIconFile(bytes)) {
        try {
            return shrunkToFit(decodeBestIcon(bytes, MaxPicturePixels), limit);
        } catch (const PlatformError&) {
            // a few other formats start like an icon directory
        }
    }
    if (isCutOff(bytes)) invalid(QStringLiteral("the picture is cut off"));
    StoppableBytes buffer(bytes.startsWith("BM") ? withUnusedAlphaMaskCleared(bytes) : bytes, stop);
    return readRaster(&buffer, limit, MaxPicturePixels);
}

QImage LoadPicture(const QString& path, QSize limit, const std::atomic<bool>* stop) {
    int fd = -1;
    try {
        fd = FileNames::openRegularFile(path).release();
    } catch (const PlatformError& e) {
        if (e.number() == Err::FileNotFound || e.number() == Err::PathFileAccess)
            throw PlatformError(Err::FileNotFound, path);
        invalid(e.detail());
    }
    Stoppable<QFile> file(stop);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        invalid(file.errorString());
    if (!needsWholeFile(file.peek(128))) return readRaster(&file, limit, MaxPicturePixels);
    if (file.size() > MetafileCaps::MaxFileBytes) invalid(QStringLiteral("file too large"));
    return decodePicture(file.readAll(), limit, stop);
}
