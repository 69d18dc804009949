#pragma once

// Arbitrary bytes into a metafile player: it must fail with 481 or draw,
// never read out of bounds, hang or run out of memory.
#include "formats/metafile/Metafile.h"
#include "system/PlatformError.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

// Fonts need a GUI application. The limits are the viewer's own: an input
// that is slow within them is a finding.
template <typename Render> int fuzzMetafile(Render render, const uint8_t* data, size_t size) {
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "fuzz_metafile";
        static char* argv[] = {name, nullptr};
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    const RenderLimits limits;
    try {
        render(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), limits);
    } catch (const PlatformError& e) {
        if (e.number() != Err::InvalidPicture) std::abort();
    }
    return 0;
}
