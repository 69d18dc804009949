// Pictures of every depth the viewer shows, each through the picture loader
// from a real file: TIFF written with libtiff from samples chosen here,
// bitmaps and icons made byte by byte. Each is a picture of two halves whose
// colours are known.
#include "formats/PictureLoader.h"
#include "support/Checks.h"
#include "support/TempTree.h"
#include "support/TiffFixtures.h"
#include "tst_picture_files.h"

#include <QtTest>
#include <tiffio.h>

namespace {

using TiffFixtures::Layout;
const QSize Halves(40, 20);

QByteArray tiffOf(Layout layout, const QList<double>& left, const QList<double>& right,
                  QSize size = Halves) {
    return TiffFixtures::halves(size, layout, left, right);
}

Layout depth(int bits, int perPixel, int photometric, int format = 1) {
    Layout s;
    s.bits = bits, s.perPixel = perPixel, s.photometric = photometric, s.format = format;
    return s;
}

// A bitmap of halves: rows of 32-bit or 16-bit pixels or 8-bit indices, with
// the file header or without it (a DIB as the clipboard holds it).
QByteArray bitmap(const QByteArray& info, const QByteArray& table, int bits, quint32 left,
                  quint32 right, bool fileHeader = true) {
    QByteArray rows;
    const int stride = (Halves.width() * bits + 31) / 32 * 4;
    for (int y = 0; y < Halves.height(); ++y) {
        QByteArray row;
        for (int x = 0; x < Halves.width(); ++x)
            for (int b = 0; b < bits / 8; ++b)
                row += char((x < Halves.width() / 2 ? left : right) >> (8 * b));
        rows += row.leftJustified(stride, '\0');
    }
    QByteArray dib = info + table + rows;
    if (!fileHeader) return dib;
    QByteArray file("BM");
    pic::put32(file, 14 + dib.size()), pic::put32(file, 0),
        pic::put32(file, 14 + info.size() + table.size());
    return file + dib;
}

QByteArray infoHeader(int size, int bits, int compression, int colours = 0) {
    QByteArray h = mf::dwords({size, Halves.width(), Halves.height()});
    pic::put16(h, 1), pic::put16(h, bits);
    h += mf::dwords({compression, 0, 2835, 2835, colours, 0});
    return h;
}

bool close(QColor a, QColor b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestPictureDepths : public QObject {
    Q_OBJECT
  private slots:
    void depthShowsItsColours_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColor>("left");
        QTest::addColumn<QColor>("right");
        QTest::addColumn<int>("tolerance");
        const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 255, 0), white(255, 255, 255),
            black(0, 0, 0), orange(255, 128, 0);
        const double m16 = 65535;

        Layout tiled = depth(16, 3, PHOTOMETRIC_RGB);
        tiled.tile = QSize(64, 64); // larger than the picture
        QTest::newRow("tiff 16-bit RGB, tiles larger than the picture")
            << "t.tif" << tiffOf(tiled, {m16, 0, 0}, {0, 0, m16}) << red << blue << 1;
        Layout planar = depth(16, 3, PHOTOMETRIC_RGB);
        planar.planes = true, planar.rowsPerStrip = 3;
        QTest::newRow("tiff 16-bit RGB in planes, strips")
            << "p.tif" << tiffOf(planar, {0, m16, 0}, {m16, m16, m16}) << green << white << 1;
        Layout tiledPlanes = planar;
        tiledPlanes.tile = QSize(16, 16);
        QTest::newRow("tiff 16-bit RGB in planes, tiles")
            << "pt.tif" << tiffOf(tiledPlanes, {m16, 0, 0}, {0, m16, 0}) << red << green << 1;
        QTest::newRow("tiff 12-bit RGB")
            << "12.tif" << tiffOf(depth(12, 3, PHOTOMETRIC_RGB), {4095, 2056, 0}, {0, 0, 4095})
            << orange << blue << 1;
        QTest::newRow("tiff 16-bit grey")
            << "g.tif" << tiffOf(depth(16, 1, PHOTOMETRIC_MINISBLACK), {m16}, {16448}) << white
            << QColor(64, 64, 64) << 1;
        QTest::newRow("tiff 32-bit float RGB")
            << "f.tif" << tiffOf(depth(32, 3, PHOTOMETRIC_RGB, 3), {1.0, 0.502, 0}, {0, 0, 1.0})
            << orange << blue << 1;
        QTest::newRow("tiff 8-bit CMYK")
            << "k8.tif"
            << tiffOf(depth(8, 4, PHOTOMETRIC_SEPARATED), {0, 255, 255, 0}, {0, 0, 0, 255}) << red
            << black << 0;
        QTest::newRow("tiff 16-bit CMYK")
            << "k.tif"
            << tiffOf(depth(16, 4, PHOTOMETRIC_SEPARATED), {0, 0, 0, 0}, {0, m16, m16, 0}) << white
            << red << 1;
        // L* 100 is white, L* 50 a grey of 119; no tint either way.
        QTest::newRow("tiff 8-bit CIE L*a*b*")
            << "lab.tif" << tiffOf(depth(8, 3, PHOTOMETRIC_CIELAB), {255, 0, 0}, {128, 0, 0})
            << white << QColor(119, 119, 119) << 1;
        QTest::newRow("tiff 16-bit CIE L*a*b*")
            << "lab16.tif" << tiffOf(depth(16, 3, PHOTOMETRIC_CIELAB), {m16, 0, 0}, {32768, 0, 0})
            << white << QColor(119, 119, 119) << 1;
        QTest::newRow("tiff 8-bit ICC L*a*b*")
            << "icclab.tif"
            << tiffOf(depth(8, 3, PHOTOMETRIC_ICCLAB), {255, 128, 128}, {128, 128, 128}) << white
            << QColor(119, 119, 119) << 1;
        Layout fax = depth(1, 1, PHOTOMETRIC_MINISWHITE);
        fax.compression = COMPRESSION_CCITTFAX4;
        QTest::newRow("tiff 1-bit, fax-compressed, 0 is white")
            << "fax.tif" << tiffOf(fax, {0}, {1}) << white << black << 0;
        Layout palette = depth(4, 1, PHOTOMETRIC_PALETTE);
        palette.colourMap = QList<quint16>(48, 0);
        palette.colourMap[2] = 65535, palette.colourMap[16 + 5] = 65535; // red 2, green 5
        QTest::newRow("tiff 4-bit palette")
            << "pal.tif" << tiffOf(palette, {2}, {5}) << red << green << 0;
        Layout jpeg = depth(8, 3, PHOTOMETRIC_YCBCR);
        jpeg.compression = COMPRESSION_JPEG;
        QTest::newRow("tiff JPEG-compressed YCbCr")
            << "j.tif" << tiffOf(jpeg, {255, 0, 0}, {0, 0, 255}, QSize(64, 32)) << red << blue
            << 40;
        Layout alpha = depth(8, 4, PHOTOMETRIC_RGB);
        alpha.extraSamples = EXTRASAMPLE_UNASSALPHA, alpha.compression = COMPRESSION_LZW;
        QTest::newRow("tiff 8-bit RGBA, LZW")
            << "a.tif" << tiffOf(alpha, {0, 0, 255, 255}, {255, 0, 0, 255}) << blue << red << 0;

        Layout associated = depth(16, 4, PHOTOMETRIC_RGB);
        associated.extraSamples = EXTRASAMPLE_ASSOCALPHA;
        QTest::newRow("tiff 16-bit RGBA, colours multiplied by alpha")
            << "pm.tif" << tiffOf(associated, {32768, 0, 0, 32768}, {0, 0, m16, m16}) << red << blue
            << 2;

        // Bitmaps: 16-bit channels reach 255; 11-11-10 bitfields; a short OS/2 table.
        QTest::newRow("bmp 16-bit 5-5-5: white is 255")
            << "16.bmp" << bitmap(infoHeader(40, 16, 0), {}, 16, 0x7fff, 0x001f) << white << blue
            << 0;
        QTest::newRow("bmp 32-bit 11-11-10 bitfields")
            << "111110.bmp"
            << bitmap(infoHeader(40, 32, 3), mf::dwords({0xffe00000, 0x001ffc00, 0x3ff}), 32,
                      0xffffffff, 0xffe00000)
            << white << red << 0;
        QTest::newRow("bmp 16-bit 5-6-5 bitfields in a v5 header")
            << "565.bmp"
            << bitmap(infoHeader(40, 16, 3) + mf::dwords({0xf800, 0x7e0, 0x1f, 0}) +
                          QByteArray(124 - 56, '\0'),
                      {}, 16, 0x07e0, 0xf800)
            << green << red << 0;
        QByteArray os2 = mf::dwords({12});
        pic::put16(os2, Halves.width()), pic::put16(os2, Halves.height()), pic::put16(os2, 1),
            pic::put16(os2, 8);
        QTest::newRow("bmp OS/2 1.x with a two-colour table")
            << "os2.bmp" << bitmap(os2, QByteArray("\0\0\xff\xff\0\0", 6), 8, 0, 1) << red << blue
            << 0;
        QTest::newRow("dib without its file header, 32-bit")
            << "clip.dib" << bitmap(infoHeader(40, 32, 0), {}, 32, 0xff0000, 0x00ff00, false) << red
            << green << 0;
        QTest::newRow("dib without its file header, 8-bit")
            << "clip8.dib"
            << bitmap(infoHeader(40, 8, 0, 2), mf::dwords({0xff, 0xffffff}), 8, 0, 1, false) << blue
            << white << 0;
        QByteArray doubled = pic::iconFile({{32, 32, green}});
        doubled[6 + 1] = 64; // the directory's height byte
        QTest::newRow("ico whose directory gives the doubled height")
            << "doubled.ico" << doubled << green << green << 0;
        QByteArray cursor = pic::iconFile({{16, 8, blue}}, true);
        cursor[6] = 32, cursor[6 + 1] = 32; // directory and header disagree every way
        QTest::newRow("cur whose directory gives another size")
            << "other.cur" << cursor << blue << blue << 0;
    }

    void depthShowsItsColours() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QColor, left);
        QFETCH(QColor, right);
        QFETCH(int, tolerance);
        QVERIFY(!bytes.isEmpty());
        // The picture fuzz target's seeds are these files.
        const QString seeds = qEnvironmentVariable("QUILLORY_PICTURE_SEEDS");
        if (!seeds.isEmpty()) {
            QFile seed(seeds + "/seed-" + name);
            QVERIFY(seed.open(QIODevice::WriteOnly) && seed.write(bytes) == bytes.size());
        }
        TempTree tree;
        const QImage image = LoadPicture(tree.write(name, bytes));
        const int w = image.width(), h = image.height();
        QVERIFY2(name.contains(".ico") || name.contains(".cur") ? w == h && w <= 32
                                                                : w >= 40 && h >= 20,
                 qPrintable(QString("%1 x %2").arg(w).arg(h)));
        for (const auto& [at, want] :
             {std::pair{QPoint(w / 4, h / 2), left}, std::pair{QPoint(3 * w / 4, h / 2), right}})
            QVERIFY2(close(image.pixelColor(at), want, tolerance),
                     qPrintable(image.pixelColor(at).name() + " for " + want.name()));
        QCOMPARE(decodePicture(bytes).size(), image.size()); // the same from memory
    }

    // The orientation tag turns the picture upright, fitted or not; the stored
    // left half (red) lands where the turn takes it.
    void tiffOrientation_data() {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("limit");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("red"); // in quarters of the width and height
        QTest::newRow("1, as stored") << 1 << QSize() << QSize(40, 20) << QPoint(1, 2);
        QTest::newRow("3, half a turn") << 3 << QSize() << QSize(40, 20) << QPoint(3, 2);
        QTest::newRow("6, a quarter clockwise") << 6 << QSize() << QSize(20, 40) << QPoint(2, 1);
        QTest::newRow("8, a quarter back") << 8 << QSize() << QSize(20, 40) << QPoint(2, 3);
        QTest::newRow("6, fitted upright") << 6 << QSize(100, 20) << QSize(10, 20) << QPoint(2, 1);
    }

    void tiffOrientation() {
        QFETCH(int, orientation);
        QFETCH(QSize, limit);
        QFETCH(QSize, size);
        QFETCH(QPoint, red);
        Layout layout = depth(8, 3, PHOTOMETRIC_RGB);
        layout.orientation = orientation;
        TempTree tree;
        const QImage image =
            LoadPicture(tree.write("turned.tif", tiffOf(layout, {255, 0, 0}, {0, 0, 255})), limit);
        QCOMPARE(image.size(), size);
        const QPoint at(red.x() * size.width() / 4, red.y() * size.height() / 4);
        QVERIFY2(close(image.pixelColor(at), Qt::red, 0), qPrintable(image.pixelColor(at).name()));
        const QPoint opposite(size.width() - 1 - at.x(), size.height() - 1 - at.y());
        QVERIFY(close(image.pixelColor(opposite), Qt::blue, 0));
    }
};

QTEST_MAIN(TestPictureDepths)
#include "tst_picture_depths.moc"
