#include "formats/metafile/ByteReader.h"

#include <cstring>

float ByteReader::f32(qint64 at) const {
    const quint32 bits = u32(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
