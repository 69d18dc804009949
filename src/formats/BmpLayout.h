#pragma once

// The headers of a bitmap, with its file header (BMP) or without (DIB):
// what the band reader needs to know of its rows.
#include <QByteArray>
#include <QList>
#include <QRgb>

#include <bit>

namespace bmp {

constexpr qint64 FileHeader = 14;
enum : quint32 { BiRgb = 0, BiBitfields = 3, BiAlphaBitfields = 6 };

// A colour channel: where it sits in a pixel and how to bring it to 0..255.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;
    explicit Channel(quint32 m = 0) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    // Full range: the largest value the channel holds is 255.
    uint operator()(quint32 pixel) const {
        if (!mask) return 0;
        const quint32 v = (pixel & mask) >> shift;
        return max == 255 ? v : uint((quint64(v) * 255 + max / 2) / max);
    }
};

struct Layout {
    qint64 width = 0, height = 0; // height < 0: rows top down
    int bits = 0;
    quint32 compression = BiRgb;
    qint64 bitsAt = 0; // where the rows start in the device
    Channel red, green, blue, alpha;
    QList<QRgb> palette;
};

// Reads the headers at the start of head (the start of a file of fileSize
// bytes): the file header when there is one, the info header, its colour
// masks and its colour table. False for a kind left to Qt's reader. Throws
// 481 for headers that do not hold together or claim more rows than the file
// holds, MalformedData when head ends too soon.
bool readLayout(const QByteArray& head, qint64 fileSize, Layout& l);

} // namespace bmp
