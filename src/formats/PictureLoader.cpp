#include "formats/PictureLoader.h"

#include "formats/BmpReading.h"
#include "formats/IconFile.h"
#include "formats/OpaqueBitmaps.h"
#include "formats/PictureAnimation.h"
#include "formats/RasterReading.h"
#include "formats/StoppableDevice.h"
#include "formats/TiffReading.h"
#include "formats/metafile/Metafile.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QFile>

namespace {

constexpr qint64 MaxPicturePixels = RenderLimits().maxPixels;

[[noreturn]] void invalid(const QString& why) {
    throw PlatformError(Err::InvalidPicture, why);
}

// Qt shows a cut-off JPEG with its missing part filled in; the viewer treats
// it as damaged, like any picture it cannot fully read.
bool isCutOffJpeg(QByteArrayView bytes) {
    if (!bytes.startsWith("\xff\xd8")) return false;
    // The end marker follows the last scan.
    const qsizetype scan = bytes.lastIndexOf(QByteArrayView("\xff\xda", 2));
    return scan >= 0 && bytes.indexOf(QByteArrayView("\xff\xd9", 2), scan) < 0;
}

// TIFF and bitmaps are read in bands from wherever they are; null when the
// device holds neither, or a bitmap of a kind left to Qt's reader.
QImage readBanded(QIODevice* device, QSize limit, const std::atomic<bool>* stop) {
    const QByteArray head = device->peek(64);
    if (isTiff(head)) return readTiff(device, limit, MaxPicturePixels, stop);
    if (isBmp(head)) return readBitmap(device, limit, MaxPicturePixels);
    return {};
}

// Kinds decoded from the whole content in memory: metafiles, icons, JPEG
// (checked for its end first), the kinds Qt animates, and compressed DIBs
// (given a file header for Qt's reader).
bool needsWholeFile(QByteArrayView head) {
    return isWmf(head) || isEmf(head) || isIconFile(head) || head.startsWith("\xff\xd8") ||
           head.startsWith("GIF8") || isHeaderlessDib(head) ||
           (head.startsWith("RIFF") && head.size() >= 12 && head.sliced(8).startsWith("WEBP"));
}

// The file's whole content, for the kinds decoded from memory; or its
// picture, read straight from the file.
struct Opened {
    QByteArray bytes;
    QImage banded;
};

Opened readOpen(QIODevice* file, QSize limit, const std::atomic<bool>* stop) {
    Opened opened;
    opened.banded = readBanded(file, limit, stop);
    if (!opened.banded.isNull()) return opened;
    if (!needsWholeFile(file->peek(MetafileHeadBytes))) { // Qt's readers know it by its start
        if (!file->seek(0)) invalid(file->errorString());
        opened.banded = readRaster(file, limit, MaxPicturePixels);
        return opened;
    }
    if (file->size() > MetafileCaps::MaxFileBytes) invalid(QStringLiteral("file too large"));
    if (!file->seek(0)) invalid(file->errorString());
    opened.bytes = file->readAll();
    if (stop && *stop) invalid(QStringLiteral("stopped"));
    return opened;
}

Opened openPicture(const QString& path, QSize limit, const std::atomic<bool>* stop) {
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
    return readOpen(&file, limit, stop);
}

QImage decodeOpened(Opened opened, QSize limit, const std::atomic<bool>* stop) {
    if (!opened.banded.isNull()) return opened.banded;
    return decodePicture(opened.bytes, limit, stop);
}

// The icon a file holds whole, or null when it holds none.
QImage iconIn(QIODevice* device) {
    if (device->size() > MetafileCaps::MaxFileBytes) return {};
    try {
        return decodeBestIcon(device->readAll(), MaxPicturePixels);
    } catch (const PlatformError&) {
        return {}; // a few other formats start like an icon directory
    }
}

} // namespace

LoadedPicture::LoadedPicture() = default;
LoadedPicture::LoadedPicture(LoadedPicture&&) noexcept = default;
LoadedPicture::~LoadedPicture() = default;

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
    if (isCutOffJpeg(bytes)) invalid(QStringLiteral("the picture is cut off"));
    {
        StoppableBytes buffer(bytes, stop);
        const QImage banded = readBanded(&buffer, limit, stop);
        if (!banded.isNull()) return banded;
    }
    // Run-length and other bitmaps Qt reads, with a file header in front.
    const QByteArray bmp = isHeaderlessDib(bytes) ? withFileHeader(bytes) : bytes;
    StoppableBytes buffer(bmp.startsWith("BM") ? withUnusedAlphaMaskCleared(bmp) : bmp, stop);
    return readRaster(&buffer, limit, MaxPicturePixels);
}

QImage LoadPicture(const QString& path, QSize limit, const std::atomic<bool>* stop) {
    return decodeOpened(openPicture(path, limit, stop), limit, stop);
}

QImage readPicture(QIODevice* device, QSize limit, const std::atomic<bool>* stop) {
    return decodeOpened(readOpen(device, limit, stop), limit, stop);
}

QImage readPicturePart(QIODevice* device, QRect part, QSize target, const std::atomic<bool>* stop) {
    const QByteArray head = device->peek(64);
    QImage image;
    if (isTiff(head))
        image = readTiffPart(device, part, target, stop);
    else if (isBmp(head))
        image = readBitmapPart(device, part, target);
    else
        image = readRasterPart(device, part, target);
    if (stop && *stop) invalid(QStringLiteral("stopped"));
    device->seek(0);
    return image;
}

QSize pictureSize(QIODevice* device) {
    const QByteArray head = device->peek(64);
    QSize size;
    try {
        if (isTiff(head))
            size = tiffSize(device);
        else if (isBmp(head))
            size = bitmapSize(device);
        else if (isIconFile(head))
            size = iconIn(device).size();
        if (!size.isValid() && device->seek(0)) size = rasterSize(device);
    } catch (const PlatformError&) {
        size = {}; // headers that do not hold together
    }
    device->seek(0);
    return size;
}

LoadedPicture LoadPictureAndAnimation(const QString& path, QSize limit,
                                      const std::atomic<bool>* stop) {
    Opened opened = openPicture(path, limit, stop);
    LoadedPicture loaded;
    if (!opened.banded.isNull()) {
        loaded.picture = opened.banded;
        return loaded;
    }
    loaded.picture = decodePicture(opened.bytes, limit, stop);
    if (!(stop && *stop)) loaded.animation = PictureAnimation::open(opened.bytes, limit);
    return loaded;
}
