// Arbitrary bytes into the picture decoders (TIFF, bitmaps with and without
// their file header, icons, JPEG and the rest Qt reads), fitted in a small
// limit as the viewer asks: each must fail with 481 or decode, never read out
// of bounds, hang or run out of memory.
#include "formats/PictureLoader.h"
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
    try {
        decodePicture(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                      QSize(320, 240));
    } catch (const PlatformError& e) {
        if (e.number() != Err::InvalidPicture) std::abort();
    }
    return 0;
}
