// Arbitrary bytes into the picture decoders (TIFF, bitmaps with and without
// their file header, icons, JPEG and the rest Qt reads), fitted in a small
// limit as the viewer asks, and measured and read in part as the zoom asks:
// each must fail with 481 or decode, never read out of bounds, hang or run
// out of memory.
#include "formats/PictureFit.h"
#include "formats/PictureLoader.h"
#include "formats/StoppableDevice.h"
#include "system/PlatformError.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz_picture";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        decodePicture(bytes, QSize(320, 240));
    } catch (const PlatformError& e) {
        if (e.number() != Err::InvalidPicture) std::abort();
    }
    // As the zoom measures a picture and reads the part of it in view.
    StoppableBytes device(bytes, nullptr);
    try {
        const QSize own = pictureSize(&device);
        if (own.isValid()) {
            const QRect part(QPoint(own.width() / 4, own.height() / 4), (own + QSize(1, 1)) / 2);
            readPicturePart(&device, part, fittedSize(part.size(), QSize(160, 120)));
        }
    } catch (const PlatformError& e) {
        if (e.number() != Err::InvalidPicture) std::abort();
    }
    return 0;
}
