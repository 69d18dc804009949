// Arbitrary bytes as a Word 97 document: the compound file and piece table
// readers never crash, loop or read out of bounds, and text never outgrows
// the file it came from.
#include "formats/worddoc/WordText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto text = wordDocumentText(file);
    if (text && text->size() > file.size()) std::abort();
    return 0;
}
