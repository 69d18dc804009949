#pragma once
// The EMF+ fuzzing seeds: EMF files whose comments carry EMF+ records that
// between them use every record and object form the player knows.

#include "tst_metafile_plus_writer.h"

#include <QBuffer>
#include <QList>
#include <QPair>

namespace mf {

inline QList<QPair<QString, QByteArray>> emfPlusSeeds() {
    const QRect frame(0, 0, 5080, 2540);
    const qint64 black = argb(255, 0, 0, 0), red = argb(255, 255, 0, 0),
                 blue = argb(200, 0, 0, 255);
    auto file = [&](const Plus& p, const Emf& gdi = {}) {
        Emf e;
        p.into(e).append(gdi);
        return e.file(frame);
    };
    QList<QPair<QString, QByteArray>> seeds;

    Plus shapes;
    shapes.header().add(0x4009, 0, dwords({argb(255, 250, 250, 240)}));
    // Pens: dashes, caps and joins, miter limit, custom dashes with an
    // offset, alignment, compound lines.
    shapes.object(1, 2,
                  penData(3, red, 0x2 | 0x4 | 0x8 | 0x10 | 0x20,
                          dwords({2, 1, 2}) + floats({4}) + dwords({3})));
    shapes.object(2, 2,
                  penData(2, blue, 0x40 | 0x80 | 0x100 | 0x200 | 0x400,
                          dwords({2}) + floats({1}) + dwords({3}) + floats({2, 1, 1}) +
                              dwords({1, 2}) + floats({0, 1})));
    shapes.object(3, 1, dwords({PlusVersion, 1, 5, red, argb(255, 255, 255, 0)}));
    shapes.object(4, 1,
                  dwords({PlusVersion, 4, 0x06, 1}) + rectF({0, 0, 50, 10}) +
                      dwords({red, blue, 0, 0}) + floats({1, 0.2f, 0, 1, 0, 0}) + dwords({3}) +
                      floats({0, 0.5f, 1}) + dwords({red, black, blue}));
    shapes.object(5, 1,
                  dwords({PlusVersion, 3, 0x08, 4, red}) + floats({150, 50}) + dwords({1, blue}) +
                      dwords({4}) +
                      pointsF(QPolygonF({{130, 30}, {170, 30}, {170, 70}, {130, 70}})) +
                      dwords({2}) + floats({0, 1, 0, 1}));
    shapes.add(0x400A, 3, dwords({3, 2}) + rectF({5, 5, 30, 20}) + rectF({40, 5, 20, 20}));
    shapes.add(0x400B, 0x4000 | 1, dwords({1}) + words({5, 30, 30, 20}));
    shapes.add(0x400C, 0x4000, dwords({4, 3}) + words({70, 5, 100, 5, 85, 30}));
    shapes.add(0x400D, 0x0800 | 0x2000 | 2,
               dwords({3}) + QByteArray("\x80\x6e\x05\x14\x00\x7c\x19", 7));
    shapes.add(0x400E, 5, dwords({5}) + rectF({130, 30, 40, 40}));
    shapes.add(0x400F, 1, rectF({110, 5, 30, 20}));
    shapes.add(0x4010, 0x8000, dwords({blue}) + floats({0, 90}) + rectF({5, 55, 30, 30}));
    shapes.add(0x4011, 1, floats({90, 120}) + rectF({40, 55, 30, 30}));
    shapes.add(0x4012, 2, floats({-45, -200}) + rectF({75, 55, 30, 30}));
    shapes.add(0x4016, 0x8000 | 0x2000,
               dwords({red}) + floats({0.5f}) + dwords({3}) +
                   pointsF(QPolygonF({{110, 60}, {125, 90}, {100, 90}})));
    shapes.add(0x4017, 2,
               floats({1}) + dwords({3}) + pointsF(QPolygonF({{150, 75}, {180, 80}, {160, 92}})));
    shapes.add(0x4018, 1,
               floats({0.5f}) + dwords({0, 3, 4}) +
                   pointsF(QPolygonF({{5, 40}, {60, 50}, {120, 40}, {185, 50}})));
    shapes.add(0x4019, 2,
               dwords({4}) + pointsF(QPolygonF({{5, 90}, {50, 60}, {100, 95}, {185, 70}})));
    seeds.append({"plus-shapes.emf", file(shapes)});

    Plus state;
    state.header()
        .add(0x401D, 0, dwords({0, 0}))
        .add(0x401E, 1)
        .add(0x401F, 4)
        .add(0x4020, 0, dwords({4}));
    state.add(0x4021, 7).add(0x4022, 2).add(0x4023, 0).add(0x4024, 3);
    state.add(0x4030, 3, floats({1})).add(0x4025, 0, dwords({1}));
    state.add(0x402A, 0, floats({1, 0, 0, 1, 5, 5}))
        .add(0x402C, 0x2000, floats({1, 0, 0.1f, 1, 0, 0}));
    state.translate(2, 2).add(0x402E, 0, floats({1.1f, 0.9f})).add(0x402F, 0x2000, floats({5}));
    state.add(0x4032, 0, rectF({0, 0, 120, 70})).add(0x4032, 4 << 8, rectF({20, 20, 10, 10}));
    state.object(1, 3,
                 pathData(QPolygonF({{0, 0}, {60, 10}, {30, 60}}), QByteArray("\0\1\x81", 3)));
    state.add(0x4033, 1 << 8 | 1).fillRect(red, {0, 0, 100, 60}).add(0x4035, 0, floats({5, 5}));
    const QByteArray triangle =
        pathData(QPolygonF({{10, 10}, {60, 10}, {35, 50}}), QByteArray("\0\1\x81", 3));
    state.object(2, 4,
                 dwords({PlusVersion, 2, 2, 0x10000000}) + rectF({0, 0, 40, 40}) +
                     dwords({0x10000001, triangle.size()}) + triangle);
    state.add(0x4034, 2 | 2 << 8).fillRect(blue, {0, 0, 50, 50}).add(0x4026, 0, dwords({1}));
    state.add(0x4027, 2, rectF({100, 0, 90, 90}) + rectF({0, 0, 100, 100}) + dwords({2}));
    state.add(0x4028, 0, dwords({3}))
        .fillEllipse(blue, {10, 10, 80, 80})
        .add(0x4029, 0, dwords({3}));
    state.add(0x4029, 0, dwords({2})).add(0x402B, 0).add(0x4031, 0).add(0x4004, 0);
    Emf gdi;
    gdi.solidBrush(1, 0, 128, 0).select(1).rectangle(150, 60, 190, 95);
    seeds.append({"plus-state.emf", file(state, gdi)});

    Plus text;
    text.header().object(1, 6, fontData(14, 2, "DejaVu Sans", 1 | 2 | 4));
    text.object(2, 6, fontData(10, 3, "DejaVu Serif", 8))
        .object(3, 7, formatData(0x1 | 0x1000, 1, 2));
    text.object(4, 7, formatData(0x4000, 2, 1));
    text.drawString(1, 3, black, {5, 5, 100, 40}, "Chart\r\ntitle");
    text.drawString(2, 4, red, {100, 40, 60, 20}, "a long legend line that wraps");
    text.drawString(2, 9, black, {10, 80, 0, 0}, "unboxed");
    text.add(0x4036, 0x8000 | 1,
             dwords({blue, 1, 0, 3}) + words({'x', 'y', 'z'}) +
                 pointsF(QPolygonF({{120, 80}, {130, 82}, {140, 84}})));
    text.add(0x4036, 0x8000 | 2,
             dwords({red, 1 | 4, 1, 2}) + words({'o', 'k'}) +
                 pointsF(QPolygonF({{150, 20}, {0, 0}})) + floats({1, 0, 0, 1, 0, 0}));
    seeds.append({"plus-text.emf", file(text)});

    QImage small(8, 8, QImage::Format_ARGB32);
    small.fill(QColor(0, 160, 0, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    small.save(&buffer, "PNG");
    Plus inner;
    inner.header().fillRect(red, {0, 0, 192, 96});
    Plus images;
    images.header()
        .object(1, 5, rawImageData(quarters()))
        .object(2, 5, compressedImageData(png, {8, 8}));
    images.object(3, 5, metafileImageData(file(inner)));
    images.object(4, 5,
                  dwords({PlusVersion, 1, 4, 2, 4, 0x00030803, 0, 0, 2, red, blue}) +
                      QByteArray("\0\1\1\0\1\0\0\1", 8));
    images.object(
        5, 1, dwords({PlusVersion, 2, 0x02, 0}) + floats({2, 0, 0, 2, 0, 0}) + rawImageData(small));
    images.drawImage(1, {0, 0, 20, 20}, {5, 5, 40, 40}).drawImage(2, {0, 0, 8, 8}, {50, 5, 30, 30});
    images.drawImage(3, {0, 0, 192, 96}, {90, 5, 40, 20})
        .drawImage(4, {0, 0, 4, 2}, {140, 5, 40, 20});
    images.add(0x401B, 0x4000 | 1,
               dwords({0, 2}) + rectF({0, 0, 20, 20}) + dwords({3}) +
                   words({60, 50, 100, 50, 60, 90}));
    images.add(0x400A, 0x4000 | 0, dwords({5, 1}) + words({110, 50, 70, 40}));
    seeds.append({"plus-images.emf", file(images)});

    // A path in relative points with run-length types, sent in two pieces.
    const QByteArray path = dwords({PlusVersion, 4, 0x0800}) +
                            QByteArray("\x0a\x0a\x3c\x00\x00\x3c\x44\x00", 8) +
                            QByteArray("\x41\x00\x42\x01\x41\x81\0\0", 8);
    Plus objects;
    objects.header().piece(1, 3, path.size(), path.left(12)).object(1, 3, path.mid(12));
    objects.object(2, 2, penData(2, black))
        .add(0x4014, 0x8000 | 1, dwords({blue}))
        .add(0x4015, 1, dwords({2}));
    objects.object(3, 4,
                   dwords({PlusVersion, 4, 3, 0x10000003, 5, 0x10000000}) +
                       rectF({100, 10, 50, 50}) + dwords({0x10000002}));
    objects.add(0x4013, 0x8000 | 3, dwords({red})).add(0x4002, 0);
    seeds.append({"plus-objects.emf", file(objects)});
    return seeds;
}

} // namespace mf
