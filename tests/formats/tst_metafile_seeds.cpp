// The fuzzing seeds: small metafiles that between them use every record the
// player knows (EMF+ records included), each of which must draw. QUILLORY_WRITE_SEEDS=1 writes them
// into fuzz/corpus/{wmf,emf}; the fuzz tests play every corpus file.
#include "formats/PictureLoader.h"
#include "tst_metafile_plus_seeds.h"
#include "tst_metafile_writer.h"

#include <QtTest>

using mf::colorWords;
using mf::dwords;
using mf::floats;
using mf::rgb;
using mf::words;

namespace {

using Seeds = QList<QPair<QString, QByteArray>>;

QImage checker() {
    QImage image(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, (x + y) % 2 ? 0xff2050a0 : 0xffffe040);
    return image;
}

QByteArray wmfFont(int height, int escapement, const char* face) {
    return words({height, 0, escapement, 0, 700}) + QByteArray("\1\1\0\0\0\0\0\0", 8) +
           QByteArray(face).leftJustified(32, '\0');
}

Seeds wmfSeeds() {
    Seeds seeds;
    const QRect box(0, 0, 200, 100);
    mf::Wmf shapes;
    shapes.solidBrush(255, 0, 0).pen(1, 3, 0, 0, 255).select(0).select(1);
    shapes.add(0x0106, {2}).rectangle(5, 5, 40, 40).add(0x0418, {40, 90, 5, 45});
    shapes.add(0x061C, {10, 10, 40, 140, 5, 95}).add(0x0817, {5, 145, 40, 190, 40, 190, 5, 145});
    shapes.add(0x081A, {50, 5, 95, 40, 95, 40, 50, 5});
    shapes.add(0x0830, {60, 90, 80, 45, 95, 90, 50, 45});
    shapes.add(0x0324, words({3, 100, 50, 140, 95, 95, 95}));
    shapes.add(0x0325, words({3, 150, 50, 190, 95, 150, 95}));
    shapes.add(0x0538, words({2, 3, 3, 5, 60, 20, 60, 5, 80, 10, 65, 15, 65, 10, 75}));
    shapes.add(0x0214, {99, 0}).add(0x0213, {0, 199});
    shapes.add(0x041F, colorWords(0, 255, 0) + words({50, 50}));
    seeds.append({"shapes.wmf", shapes.placeable(box, 96)});

    mf::Wmf state;
    state.add(0x0103, {8}).add(0x020B, {0, 0}).add(0x020C, {1000, 2000}).add(0x020D, {0, 0});
    state.add(0x020E, {100, 200}).add(0x020F, {10, 10}).add(0x0211, {1, 1});
    state.add(0x0410, {1, 1, 2, 2}).add(0x0412, {2, 1, 2, 1}).add(0x001E, words({}));
    state.add(0x02FC, words({2}) + colorWords(0, 128, 0) + words({3})).select(0);
    state.add(0x0201, colorWords(200, 200, 0)).add(0x0102, {2}).add(0x0416, {900, 900, 100, 100});
    state.add(0x0415, {500, 500, 400, 400}).rectangle(0, 0, 1000, 1000).add(0x0127, {-1});
    state.add(0x00F7, words({0x300, 1, 0, 0})).add(0x06FF, QByteArray(22, '\0')).add(0x01F0, {1});
    state.add(0x0103, {6}).rectangle(0, 0, 1440, -1440);
    seeds.append({"state.wmf", state.plain()});

    mf::Wmf text;
    text.add(0x02FB, wmfFont(-20, 0, "Liberation Sans")).select(0).add(0x0209, colorWords(0, 0, 0));
    text.add(0x012E, {24}).add(0x0521, words({5}) + QByteArray("Hello\0", 6) + words({50, 10}));
    text.add(0x02FB, wmfFont(24, 450, "Liberation Serif")).select(1).add(0x012E, {6 | 1});
    text.add(0x0A32, words({80, 100, 3, 6, 60, 70, 140, 90}) + QByteArray("abc\0", 4) +
                         words({10, 12, 14}));
    seeds.append({"text.wmf", text.placeable(box, 96)});

    const QByteArray dib = mf::dib24(checker());
    mf::Wmf bitmaps;
    bitmaps.add(0x0F43, words({0x20, 0xCC, 0, 8, 8, 0, 0, 40, 40, 5, 5}) + dib);
    bitmaps.add(0x0B41, words({0x20, 0xCC, 8, 8, 0, 0, 30, 30, 5, 50}) + dib);
    bitmaps.add(0x0940, words({0x20, 0xCC, 0, 0, 8, 8, 50, 90}) + dib);
    bitmaps.add(0x0D33, words({0, 8, 0, 0, 0, 8, 8, 60, 110}) + dib);
    bitmaps.add(0x0142, words({5, 0}) + dib).select(0);
    bitmaps.add(0x061D, words({0x21, 0xF0, 30, 40, 60, 150}));
    bitmaps.add(0x0B41, words({0x42, 0, 0, 0, 0, 0, 0, 10, 10, 5, 180}));
    seeds.append({"bitmaps.wmf", bitmaps.placeable(box, 96)});
    return seeds;
}

QByteArray emfFont(int index, int height, int escapement, const QString& face) {
    QByteArray b = dwords({index, height, 0, escapement, 0, 400}) + QByteArray(8, '\0');
    QByteArray name;
    for (QChar c : face)
        mf::put16(name, c.unicode());
    return b + name.leftJustified(64, '\0');
}

QByteArray emfPoints(const QPolygon& points, bool small) {
    QByteArray b = dwords({0, 0, 0, 0, points.size()});
    for (QPoint p : points)
        b += small ? words({p.x(), p.y()}) : dwords({p.x(), p.y()});
    return b;
}

Seeds emfSeeds() {
    Seeds seeds;
    const QRect frame(0, 0, 5080, 2540);
    const QPolygon tri({{10, 10}, {60, 10}, {35, 50}});
    mf::Emf shapes;
    shapes.solidBrush(1, 255, 0, 0);
    shapes.add(95, dwords({2, 0, 0, 0, 0, 0x12207, 3, 0, rgb(0, 0, 255), 0, 2, 6, 3}));
    shapes.select(1).select(2).add(19, {2});
    for (int type : {2, 3, 4, 5, 6})
        shapes.add(type, emfPoints(tri.translated(type * 5, 0), false));
    for (int type : {85, 86, 87, 88, 89})
        shapes.add(type, emfPoints(tri.translated(type, 30), true));
    shapes.add(8, dwords({0, 0, 0, 0, 2, 6, 3, 3, 100, 10, 150, 10, 120, 60, 110, 20, 140, 20}) +
                      dwords({120, 50}));
    shapes.add(91, dwords({0, 0, 0, 0, 1, 3, 3}) + words({150, 50, 190, 50, 170, 90}));
    shapes.add(7, dwords({0, 0, 0, 0, 1, 2, 2, 0, 0, 190, 95}));
    shapes.add(90, dwords({0, 0, 0, 0, 1, 2, 2}) + words({0, 95, 190, 0}));
    shapes.add(42, {5, 60, 40, 95}).add(43, {45, 60, 80, 95}).add(44, {85, 60, 120, 95, 10, 10});
    shapes.add(45, {125, 60, 160, 95, 160, 60, 125, 60});
    shapes.add(46, {125, 60, 160, 95, 125, 95, 160, 95});
    shapes.add(47, {160, 60, 190, 95, 190, 75, 175, 60}).add(57, {2});
    shapes.add(27, {100, 50}).add(55, {90, 40, 110, 60, 110, 50, 90, 50}).add(54, {120, 50});
    shapes.add(41, dwords({150, 50, 20}) + floats({0, 270})).add(15, {5, 5, rgb(0, 0, 0)});
    shapes.add(40, {1}).add(40, {2});
    seeds.append({"shapes.emf", shapes.file(frame)});

    mf::Emf state;
    state.add(17, {8}).add(9, {1000, 500}).add(10, {0, 0}).add(11, {192, 96}).add(12, {0, 0});
    state.add(31, {1, 1, 1, 1}).add(32, {2, 2, 2, 2}).add(33);
    state.add(35, floats({1, 0.2f, 0, 1, 5, 5}));
    state.add(36, floats({0.9f, 0, 0, 0.9f, 0, 0}) + dwords({2}));
    state.add(39, {1, 2, rgb(0, 128, 0), 5}).select(1).add(18, {2}).add(25, {rgb(255, 255, 0)});
    state.add(30, {100, 100, 900, 450}).add(29, {400, 200, 600, 300}).rectangle(0, 0, 1000, 500);
    state.add(34, {-1}).add(17, {3}).add(12, {0, 96}).rectangle(100, 100, 2000, 1000);
    state.add(75, dwords({48, 5, 32, 1, 1, 16, 10, 10, 50, 50, 10, 10, 50, 50}));
    state.add(71, dwords({0, 0, 0, 0, 48, 0x80000004, 32, 1, 1, 16, 0, 0, 20, 20, 0, 0, 20, 20}));
    state.add(74, dwords({0, 0, 0, 0, 48, 32, 1, 1, 16, 30, 0, 40, 20, 30, 0, 40, 20}));
    state.add(75, dwords({0, 5})).add(49, {3, 0x300, 0});
    seeds.append({"state.emf", state.file(frame)});

    mf::Emf paths;
    paths.pen(1, 0, 3, 0, 0, 0).select(1).select(0x80000001);
    const QByteArray bounds(16, '\0');
    paths.add(59).add(27, {10, 10}).add(54, {80, 10}).add(54, {40, 80}).add(61);
    paths.add(42, {100, 10, 180, 90}).add(60).add(63, bounds);
    paths.add(59).rectangle(20, 20, 60, 60).add(60).add(66);
    paths.add(64, bounds).add(59).add(42, {0, 0, 192, 96});
    paths.add(60).add(65).add(67, {5}).rectangle(0, 0, 192, 96);
    paths.add(59).add(68).add(62, bounds);
    seeds.append({"paths.emf", paths.file(frame)});

    mf::Emf text;
    text.add(82, emfFont(1, -18, 0, "Liberation Sans")).select(1).add(24, {rgb(0, 0, 128)});
    text.add(22, {24});
    text.add(84, dwords({0, 0, 0, 0, 1, 0, 0, 10, 30, 3, 76, 0x6, 5, 10, 90, 40, 88}) +
                     QByteArray("H\0i\0!\0\0", 8) + dwords({10, 10, 10}));
    text.add(82, emfFont(2, 20, 900, "DejaVu Serif")).select(2).add(22, {1 | 6});
    text.add(83, dwords({0, 0, 0, 0, 2, 0, 0, 100, 50, 3, 76, 0x100, 0, 0, 0, 0, 0}) +
                     QByteArray("abc\0", 4));
    text.add(108, dwords({150, 20, 2, 0x300, 1, 0, 0}) + QByteArray("ok\0\0", 4));
    seeds.append({"text.emf", text.file(frame)});

    const QByteArray dib = mf::dib24(checker());
    const QByteArray info = dib.left(40), bits = dib.mid(40);
    mf::Emf bitmaps;
    const QByteArray stretch = dwords({0, 0, 0, 0, 5, 5, 0, 0, 8, 8, 80, 40, 120});
    bitmaps.add(81, stretch + dwords({bits.size(), 0, 0xCC0020, 40, 40}) + info + bits);
    const QByteArray blit = dwords({0, 0}) + floats({1, 0, 0, 1, 0, 0}) +
                            dwords({0, 0, 108, 40, 148, bits.size(), 8, 8});
    bitmaps.add(77, dwords({0, 0, 0, 0, 50, 5, 30, 30, 0xCC0020}) + blit + info + bits);
    bitmaps.add(114, dwords({0, 0, 0, 0, 90, 5, 30, 30, 0x00800000}) + blit + info + bits);
    bitmaps.add(80, dwords({0, 0, 0, 0, 130, 5, 0, 0, 8, 8, 76, 40, 116, bits.size(), 0, 0, 8}) +
                        info + bits);
    bitmaps.add(94, dwords({3, 0, 32, 40, 72, bits.size()}) + info + bits).select(3);
    bitmaps.add(76, dwords({0, 0, 0, 0, 5, 50, 60, 40, 0xF00021, 0, 0}) +
                        floats({1, 0, 0, 1, 0, 0}) + dwords({0, 0, 0, 0, 0, 0}));
    seeds.append({"bitmaps.emf", bitmaps.file(frame)});
    return seeds;
}

} // namespace

class TestMetafileSeeds : public QObject {
    Q_OBJECT
  private slots:
    void seedsDraw_data() {
        QTest::addColumn<QByteArray>("bytes");
        const bool write = qEnvironmentVariableIsSet("QUILLORY_WRITE_SEEDS");
        for (const auto& [kind, seeds] : {QPair<QString, Seeds>("wmf", wmfSeeds()),
                                          {"emf", emfSeeds()},
                                          {"emf", mf::emfPlusSeeds()}}) {
            for (const auto& [name, bytes] : seeds) {
                QTest::newRow(qPrintable(name)) << bytes;
                if (!write) continue;
                QFile out(QFINDTESTDATA("../../fuzz/corpus/" + kind) + "/seed-" + name);
                QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
            }
        }
    }

    void seedsDraw() {
        QFETCH(QByteArray, bytes);
        const QImage image = decodePicture(bytes);
        QVERIFY(!mf::inkBounds(image).isEmpty());
    }
};

QTEST_MAIN(TestMetafileSeeds)
#include "tst_metafile_seeds.moc"
