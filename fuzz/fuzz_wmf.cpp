// Arbitrary bytes into the WMF player.
#include "FuzzMetafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzMetafile(
        [](QByteArrayView bytes, const RenderLimits& limits) { return renderWmf(bytes, limits); },
        data, size);
}
