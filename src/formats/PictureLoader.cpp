#include "formats/PictureLoader.h"

#include "formats/IconFile.h"
#include "formats/metafile/ByteReader.h"
#include "formats/metafile/Metafile.h"
#include "system/PlatformError.h"
#include "system/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
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

// Everything Qt's decoders read, known by content, never by name.
QImage readRaster(QIODevice* device) {
    QImageReader reader(device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true); // EXIF orientation
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels)
        invalid(QStringLiteral("picture too large"));
    QImage image = reader.read();
    if (image.isNull()) invalid(reader.errorString());
    return image;
}

bool needsWholeFile(QByteArrayView head) {
    return isWmf(head) || isEmf(head) || isIconFile(head) || head.startsWith("\xff\xd8") ||
           head.startsWith("BM");
}

} // namespace

QImage decodePicture(const QByteArray& bytes) {
    if (isWmf(bytes)) return renderWmf(bytes);
    if (isEmf(bytes)) return renderEmf(bytes);
    if (isIconFile(bytes)) {
        try {
            return decodeBestIcon(bytes, MaxPicturePixels);
        } catch (const PlatformError&) {
            // a few other formats start like an icon directory
        }
    }
    if (isCutOff(bytes)) invalid(QStringLiteral("the picture is cut off"));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readRaster(&buffer);
}

QImage LoadPicture(const QString& path) {
    if (!QFileInfo(path).isFile()) throw PlatformError(Err::FileNotFound, path);
    std::unique_ptr<QFile> opened;
    try {
        opened = openRegularFile(path); // checked again on the open file, without waiting
    } catch (const PlatformError& e) {
        invalid(e.detail());
    }
    QFile& file = *opened;
    if (!needsWholeFile(file.peek(128))) return readRaster(&file);
    if (file.size() > MetafileCaps::MaxFileBytes) invalid(QStringLiteral("file too large"));
    return decodePicture(file.readAll());
}
