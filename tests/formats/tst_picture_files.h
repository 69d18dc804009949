#pragma once
// Picture files that Qt cannot write, made byte by byte for the picture
// tests: GIF, ICO and CUR, and a JPEG with an EXIF orientation.

#include "tst_metafile_writer.h"

#include <QBuffer>
#include <QImage>
#include <QList>

namespace pic {

using mf::put16;
using mf::put32;

inline QByteArray saved(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// A GIF of solid frames in a four-colour palette (red, green, blue, white).
// The LZW stream clears its table every two codes, so codes stay 3 bits wide.
inline QByteArray gif(QSize size, const QList<int>& frameColours) {
    QByteArray b("GIF89a");
    put16(b, size.width());
    put16(b, size.height());
    b += QByteArray("\x81\x00\x00", 3); // global table of 4 entries
    b += QByteArray("\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff", 12);
    for (int colour : frameColours) {
        b += QByteArray("\x21\xf9\x04\x04\x0a\x00\x00\x00", 8); // 1/10 s a frame
        b += '\x2c';
        put16(b, 0), put16(b, 0), put16(b, size.width()), put16(b, size.height());
        b += '\0';
        QList<int> codes; // 4 clears the table, 5 ends the data
        for (int i = 0; i < size.width() * size.height(); ++i)
            codes << (i % 2 ? QList<int>{colour} : QList<int>{4, colour});
        codes << 5;
        QByteArray data;
        quint32 acc = 0;
        int bits = 0;
        for (int code : codes) {
            acc |= quint32(code) << bits;
            bits += 3;
            while (bits >= 8)
                data += char(acc & 0xff), acc >>= 8, bits -= 8;
        }
        if (bits) data += char(acc);
        b += '\x02';
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            b += char(block.size());
            b += block;
        }
        b += '\0';
    }
    return b + ';';
}

// One image of an icon file: a DIB of doubled height (colours, then mask).
struct IconImage {
    int size;
    int bits; // 8 (palette of one colour) or 32
    QColor colour;
};

inline QByteArray iconFile(const QList<IconImage>& images, bool cursor = false) {
    QList<QByteArray> dibs;
    for (const IconImage& i : images) {
        QByteArray d = mf::dwords({40, i.size, 2 * i.size});
        put16(d, 1), put16(d, i.bits);
        d += mf::dwords({0, 0, 0, 0, i.bits == 8 ? 1 : 0, 0});
        const QRgb c = i.colour.rgb();
        if (i.bits == 8) {
            d += char(qBlue(c)), d += char(qGreen(c)), d += char(qRed(c)), d += '\0';
            d += QByteArray(i.size * i.size, '\0'); // rows of 4n bytes: sizes are multiples of 4
        } else {
            for (int p = 0; p < i.size * i.size; ++p)
                d += char(qBlue(c)), d += char(qGreen(c)), d += char(qRed(c)), d += '\xff';
        }
        d += QByteArray((i.size + 31) / 32 * 4 * i.size, '\0'); // mask: all shown
        dibs << d;
    }
    QByteArray b;
    put16(b, 0), put16(b, cursor ? 2 : 1), put16(b, int(images.size()));
    qint64 offset = 6 + 16 * images.size();
    for (int k = 0; k < images.size(); ++k) {
        b += char(images[k].size % 256), b += char(images[k].size % 256);
        b += '\0', b += '\0';
        put16(b, cursor ? 3 : 1), put16(b, cursor ? 5 : images[k].bits); // cursors: hot spot
        put32(b, dibs[k].size());
        put32(b, offset);
        offset += dibs[k].size();
    }
    for (const QByteArray& d : dibs)
        b += d;
    return b;
}

// A JPEG with an EXIF block whose orientation tag says how to turn it, the
// tag stored as type (3 SHORT, 4 LONG, 9 SLONG) in either byte order.
inline QByteArray jpegWithOrientation(const QImage& image, int orientation, int type = 3,
                                      bool bigEndian = false) {
    auto put = [bigEndian](QByteArray& b, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b += char(v >> (8 * (bigEndian ? bytes - 1 - i : i)));
    };
    QByteArray tiff(bigEndian ? "MM\0*" : "II*\0", 4);
    put(tiff, 8, 4);
    put(tiff, 1, 2); // one entry
    put(tiff, 0x0112, 2), put(tiff, type, 2), put(tiff, 1, 4);
    if (type == 3)
        put(tiff, orientation, 2), put(tiff, 0, 2); // left-justified in the value field
    else
        put(tiff, orientation, 4);
    put(tiff, 0, 4); // no next directory
    QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xff\xe1", 2);
    segment += char((app1.size() + 2) >> 8), segment += char((app1.size() + 2) & 0xff);
    QByteArray jpeg = saved(image, "jpg", 95);
    return jpeg.left(2) + segment + app1 + jpeg.mid(2);
}

// A GIF89a of patches drawn one per frame on a screen of the given size,
// each frame left in place under the next (disposal: none).
struct GifPatch {
    QRect rect;
    int colour; // 0 red, 1 green, 2 blue, 3 white
};
inline QByteArray gifPatches(QSize screen, const QList<GifPatch>& patches) {
    QByteArray b = gif(screen, {});
    b.chop(1); // the trailer
    for (const GifPatch& p : patches) {
        QByteArray frame = gif(p.rect.size(), {p.colour});
        frame = frame.mid(6 + 7 + 12); // after header, screen descriptor and table
        frame.chop(1);
        frame[3] = '\x04'; // graphic control: disposal none, no transparency
        QByteArray place;
        put16(place, p.rect.x()), put16(place, p.rect.y());
        frame.replace(9, 4, place);
        b += frame;
    }
    return b + ';';
}

} // namespace pic
