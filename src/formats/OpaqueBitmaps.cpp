#include "formats/OpaqueBitmaps.h"

#include <QtEndian>

void clearUnusedAlphaMask(QByteArray& bytes, qsizetype at) {
    constexpr qsizetype AlphaMaskAt = 52, WithAlphaMask = 56, BiRgb = 0;
    if (at < 0 || bytes.size() < at + WithAlphaMask) return;
    const auto* header = reinterpret_cast<const uchar*>(bytes.constData() + at);
    if (qFromLittleEndian<quint32>(header) < WithAlphaMask ||
        qFromLittleEndian<quint16>(header + 14) != 32 ||
        qFromLittleEndian<quint32>(header + 16) != BiRgb)
        return;
    bytes.replace(at + AlphaMaskAt, 4, QByteArray(4, '\0'));
}
