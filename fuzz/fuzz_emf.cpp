// Arbitrary bytes into the EMF player.
#include "FuzzMetafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzMetafile(
        [](QByteArrayView bytes, const RenderLimits& limits) { return renderEmf(bytes, limits); },
        data, size);
}
