#pragma once
// Writes EMF+ records, to be carried in the comments of an mf::Emf, for the
// metafile tests and the fuzzing seeds. Like the EMF writer it checks
// nothing, so tests can write lies as well.

#include "tst_metafile_writer.h"

#include <QPolygonF>
#include <QRectF>
#include <QString>

namespace mf {

constexpr qint64 PlusVersion = 0xDBC01002;

inline qint64 argb(int a, int r, int g, int b) {
    return qint64(a) << 24 | r << 16 | g << 8 | b;
}
inline QByteArray rectF(const QRectF& r) {
    return floats({float(r.x()), float(r.y()), float(r.width()), float(r.height())});
}
inline QByteArray pointsF(const QPolygonF& points) {
    QByteArray b;
    for (QPointF p : points)
        b += floats({float(p.x()), float(p.y())});
    return b;
}
inline QByteArray utf16(const QString& text) {
    QByteArray b;
    for (QChar c : text)
        put16(b, c.unicode());
    return b;
}

// Serialized objects.
inline QByteArray solidBrushData(qint64 color) {
    return dwords({PlusVersion, 0, color});
}
inline QByteArray linearBrushData(const QRectF& box, qint64 from, qint64 to) {
    return dwords({PlusVersion, 4, 0, 4}) + rectF(box) + dwords({from, to, 0, 0});
}
// A pen: flags name the optional parts, which follow the width in order.
inline QByteArray penData(float width, qint64 color, quint32 flags = 0,
                          const QByteArray& optional = {}) {
    return dwords({PlusVersion, 0, flags, 0}) + floats({width}) + optional + solidBrushData(color);
}
inline QByteArray pathData(const QPolygonF& points, const QByteArray& types) {
    QByteArray b = dwords({PlusVersion, points.size(), 0}) + pointsF(points) + types;
    return b + QByteArray(-b.size() & 3, '\0');
}
inline QByteArray fontData(float emSize, int unit, const QString& family, int style = 0) {
    QByteArray b = dwords({PlusVersion}) + floats({emSize}) +
                   dwords({unit, style, 0, family.size()}) + utf16(family);
    return b + QByteArray(-b.size() & 3, '\0');
}
inline QByteArray formatData(quint32 flags, int align, int lineAlign) {
    return dwords({PlusVersion, flags, 0, align, lineAlign, 0, 0}) + floats({0}) + dwords({0}) +
           floats({0, 0, 1}) + dwords({0, 0, 0});
}

// A raw 32-bit RGB bitmap, rows top-down, or any picture file compressed.
inline QByteArray rawImageData(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray b =
        dwords({PlusVersion, 1, rgb.width(), rgb.height(), rgb.width() * 4, 0x00022009, 0});
    for (int y = 0; y < rgb.height(); ++y)
        b += QByteArray(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 4);
    return b;
}
inline QByteArray compressedImageData(const QByteArray& file, QSize size) {
    QByteArray b = dwords({PlusVersion, 1, size.width(), size.height(), 0, 0x0026200A, 1}) + file;
    return b + QByteArray(-b.size() & 3, '\0');
}
inline QByteArray metafileImageData(const QByteArray& emf) {
    QByteArray b = dwords({PlusVersion, 2, 3, emf.size()}) + emf;
    return b + QByteArray(-b.size() & 3, '\0');
}

class Plus {
  public:
    Plus& add(int type, int flags, const QByteArray& data = {}) {
        const QByteArray padded = data + QByteArray(-data.size() & 3, '\0');
        put16(records_, type);
        put16(records_, flags);
        put32(records_, 12 + padded.size());
        put32(records_, padded.size());
        records_ += padded;
        return *this;
    }
    // A piece of an object continued in the next record, after the total size.
    Plus& piece(int id, int type, qint64 total, const QByteArray& data) {
        const QByteArray padded = data + QByteArray(-data.size() & 3, '\0');
        put16(records_, 0x4008);
        put16(records_, 0x8000 | type << 8 | id);
        put32(records_, 16 + padded.size());
        put32(records_, total);
        put32(records_, padded.size());
        records_ += padded;
        return *this;
    }
    Plus& header(bool dual = true, int dpi = 96) {
        return add(0x4001, dual ? 1 : 0, dwords({PlusVersion, 1, dpi, dpi}));
    }
    Plus& object(int id, int type, const QByteArray& data) {
        return add(0x4008, type << 8 | id, data);
    }
    Plus& fillRect(qint64 color, const QRectF& r) {
        return add(0x400A, 0x8000, dwords({color, 1}) + rectF(r));
    }
    Plus& fillEllipse(qint64 color, const QRectF& r) {
        return add(0x400E, 0x8000, dwords({color}) + rectF(r));
    }
    Plus& drawLines(int pen, const QPolygonF& points, bool closed = false) {
        return add(0x400D, pen | (closed ? 0x2000 : 0), dwords({points.size()}) + pointsF(points));
    }
    Plus& drawString(int font, int format, qint64 color, const QRectF& box, const QString& text) {
        return add(0x401C, 0x8000 | font,
                   dwords({color, format, text.size()}) + rectF(box) + utf16(text));
    }
    Plus& drawImage(int image, const QRectF& source, const QRectF& dest) {
        return add(0x401A, image, dwords({0, 2}) + rectF(source) + rectF(dest));
    }
    Plus& translate(float dx, float dy) { return add(0x402D, 0, floats({dx, dy})); }

    // The data of the EMR_COMMENT that carries these records.
    QByteArray comment() const { return dwords({4 + records_.size(), 0x2B464D45}) + records_; }
    Emf& into(Emf& emf) const { return emf.add(70, comment()); }

  private:
    QByteArray records_;
};

} // namespace mf
