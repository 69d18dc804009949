#pragma once
// Writes WMF and EMF files record by record, for the metafile tests and the
// fuzzing seeds. Only what the tests need; no validation on purpose, so the
// tests can also write lies.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>

#include <bit>
#include <initializer_list>

namespace mf {

inline void put16(QByteArray& b, int v) {
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}
inline void put32(QByteArray& b, qint64 v) {
    put16(b, int(v & 0xffff));
    put16(b, int((v >> 16) & 0xffff));
}
inline QByteArray words(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        put16(b, v);
    return b;
}
inline QByteArray dwords(std::initializer_list<qint64> values) {
    QByteArray b;
    for (qint64 v : values)
        put32(b, v);
    return b;
}
inline QByteArray floats(std::initializer_list<float> values) {
    QByteArray b;
    for (float v : values)
        put32(b, std::bit_cast<quint32>(v));
    return b;
}
// A COLORREF: red, green, blue, zero.
inline qint64 rgb(int r, int g, int b) {
    return r | g << 8 | b << 16;
}
inline QByteArray colorWords(int r, int g, int b) {
    return words({r | g << 8, b});
}

// A packed bottom-up 24-bit DIB of the image (BITMAPINFOHEADER then rows).
inline QByteArray dib24(const QImage& image) {
    QByteArray b = dwords({40, image.width(), image.height()}) + words({1, 24});
    b += dwords({0, 0, 0, 0, 0, 0});
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    const int stride = (image.width() * 3 + 3) / 4 * 4;
    for (int y = image.height() - 1; y >= 0; --y)
        b += QByteArray(reinterpret_cast<const char*>(bgr.constScanLine(y)), image.width() * 3)
                 .leftJustified(stride, '\0');
    return b;
}

class Wmf {
  public:
    Wmf& add(int function, const QByteArray& params) {
        put32(records_, 3 + (params.size() + 1) / 2); // in 16-bit words, padded
        put16(records_, function);
        records_ += params + QByteArray(params.size() % 2, '\0');
        return *this;
    }
    Wmf& add(int function, std::initializer_list<int> params) {
        return add(function, words(params));
    }

    Wmf& append(const Wmf& other) {
        records_ += other.records_;
        return *this;
    }

    QByteArray plain() const {
        QByteArray body = records_;
        put32(body, 3);
        put16(body, 0); // META_EOF
        QByteArray b = words({1, 9, 0x0300});
        put32(b, (18 + body.size()) / 2);
        put16(b, 16); // objects
        put32(b, 0);
        put16(b, 0);
        return b + body;
    }
    QByteArray placeable(QRect box, int unitsPerInch) const {
        QByteArray b = dwords({0x9AC6CDD7});
        b += words({0, box.left(), box.top(), box.left() + box.width(), box.top() + box.height(),
                    unitsPerInch});
        put32(b, 0);
        put16(b, 0);
        return b + plain();
    }

    // The usual helpers.
    Wmf& solidBrush(int r, int g, int b) {
        return add(0x02FC, words({0}) + colorWords(r, g, b) + words({0}));
    }
    Wmf& pen(int style, int width, int r, int g, int b) {
        return add(0x02FA, words({style, width, 0}) + colorWords(r, g, b));
    }
    Wmf& select(int index) { return add(0x012D, {index}); }
    Wmf& rectangle(int l, int t, int r, int b) { return add(0x041B, {b, r, t, l}); }

  private:
    QByteArray records_;
};

class Emf {
  public:
    Emf& add(quint32 type, const QByteArray& data) {
        const QByteArray padded = data + QByteArray(-data.size() & 3, '\0');
        put32(records_, type);
        put32(records_, 8 + padded.size());
        records_ += padded;
        ++count_;
        return *this;
    }
    Emf& add(quint32 type, std::initializer_list<qint64> values) {
        return add(type, dwords(values));
    }
    Emf& add(quint32 type) { return add(type, QByteArray()); }

    Emf& append(const Emf& other) {
        records_ += other.records_;
        count_ += other.count_;
        return *this;
    }

    // frame in hundredths of a millimetre; the reference device defaults to
    // 96 dots per inch, so device pixels and picture pixels agree.
    QByteArray file(QRect frame, int handles = 16, QSize devicePx = {1920, 1920},
                    QSize deviceMm = {508, 508}) const {
        QByteArray body = records_;
        put32(body, 14);
        put32(body, 20);
        body += dwords({0, 0, 20});
        QByteArray h = dwords({1, 88, 0, 0, 100, 100, frame.left(), frame.top(),
                               frame.left() + frame.width(), frame.top() + frame.height(),
                               0x464D4520, 0x10000, 88 + body.size(), count_ + 2});
        put16(h, handles);
        put16(h, 0);
        h += dwords(
            {0, 0, 0, devicePx.width(), devicePx.height(), deviceMm.width(), deviceMm.height()});
        return h + body;
    }

    Emf& solidBrush(int index, int r, int g, int b) { return add(39, {index, 0, rgb(r, g, b), 0}); }
    Emf& pen(int index, int style, int width, int r, int g, int b) {
        return add(38, {index, style, width, 0, rgb(r, g, b)});
    }
    Emf& select(qint64 index) { return add(37, {index}); }
    Emf& rectangle(int l, int t, int r, int b) { return add(43, {l, t, r, b}); }

  private:
    QByteArray records_;
    int count_ = 0;
};

// 20 x 20 pixels: red, green on top; blue, white below.
inline QImage quarters() {
    QImage image(20, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            image.setPixel(x, y,
                           y < 10 ? (x < 10 ? 0xffff0000 : 0xff00ff00)
                                  : (x < 10 ? 0xff0000ff : 0xffffffff));
    return image;
}

// Pixel checks: a colour within a small tolerance, fully opaque.
inline bool isColor(const QImage& image, int x, int y, QColor want) {
    if (!image.valid(x, y)) return false;
    const QColor got = image.pixelColor(x, y);
    return got.alpha() == 255 && qAbs(got.red() - want.red()) < 8 &&
           qAbs(got.green() - want.green()) < 8 && qAbs(got.blue() - want.blue()) < 8;
}
inline bool isClear(const QImage& image, int x, int y) {
    return image.valid(x, y) && image.pixelColor(x, y).alpha() == 0;
}
// The bounding box of everything drawn.
inline QRect inkBounds(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() > 0) box |= QRect(x, y, 1, 1);
    return box;
}

// Stock objects of an EMF.
constexpr qint64 NullPen = 0x80000008, BlackPen = 0x80000007, NullBrush = 0x80000005,
                 BlackBrush = 0x80000004;

} // namespace mf
