// The picture loader on real files: every type the filter offers decodes by
// its content whatever its name, damaged files fail with 481, a missing one
// with 53.
#include "formats/PictureDetail.h"
#include "formats/PictureLoader.h"
#include "support/Checks.h"
#include "support/TempTree.h"
#include "support/TiffFixtures.h"
#include "system/PlatformError.h"
#include "tst_picture_files.h"

#include <QRandomGenerator>
#include <QtEndian>

#include <QtTest>
#include <array>

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255), Green(0, 255, 0);

// Left half red, right half blue.
QImage halves(int w = 40, int h = 20) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Blue);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x)
            image.setPixelColor(x, y, Red);
    return image;
}

QImage noise(int size) {
    QImage image(size, size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, random.generate() | 0xff000000);
    return image;
}

// 40 x 20: red and green quarters on top, blue and white below.
QImage quadrants() {
    QImage image(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y,
                           y < 10 ? (x < 20 ? 0xffff0000 : 0xff00ff00)
                                  : (x < 20 ? 0xff0000ff : 0xffffffff));
    return image;
}

// The same bitmap with its rows read top down: a negative height.
QByteArray topDown(QByteArray bmp) {
    const qint32 height = qFromLittleEndian<qint32>(bmp.constData() + 22);
    qToLittleEndian<qint32>(-height, bmp.data() + 22);
    return bmp;
}

bool near(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 48 && qAbs(a.green() - b.green()) < 48 &&
           qAbs(a.blue() - b.blue()) < 48;
}

} // namespace

class TestPictureRaster : public QObject {
    Q_OBJECT
  private slots:
    void everyTypeDecodesByContent_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        const QImage pic = halves();
        mf::Wmf wmf;
        wmf.solidBrush(255, 0, 0).select(0).rectangle(0, 0, 48, 24);
        mf::Emf emf;
        emf.solidBrush(1, 0, 0, 255).select(1).select(mf::NullPen).rectangle(10, 10, 40, 40);
        QTest::newRow("bmp named .dib")
            << "pic.dib" << pic::saved(pic, "bmp") << pic.size() << QPoint(35, 5) << Blue;
        QTest::newRow("png named .jpg")
            << "pic.jpg" << pic::saved(pic, "png") << pic.size() << QPoint(35, 15) << Blue;
        QTest::newRow("jpg named .gif, bytes after its end")
            << "photo.gif" << pic::saved(pic, "jpg", 95) + QByteArray(500, '\0') << pic.size()
            << QPoint(5, 5) << Red;
        QTest::newRow("tif") << "pic.tif" << pic::saved(pic, "tif") << pic.size() << QPoint(5, 5)
                             << Red;
        QTest::newRow("gif: the first frame")
            << "anim.gif" << pic::gif({8, 6}, {0, 2, 1}) << QSize(8, 6) << QPoint(4, 3) << Red;
        QTest::newRow("wmf named .bmp") << "drawing.bmp" << wmf.placeable({0, 0, 48, 24}, 96)
                                        << QSize(48, 24) << QPoint(24, 12) << Red;
        QTest::newRow("emf") << "drawing.emf" << emf.file({0, 0, 1323, 1323}) << QSize(50, 50)
                             << QPoint(25, 25) << Blue;
        // Icons and cursors: the largest image wherever it stands, of equal sizes
        // the deepest, of equal depths the first.
        QTest::newRow("ico: the largest")
            << "app.ico" << pic::iconFile({{16, 32, Red}, {48, 8, Green}, {32, 32, Blue}})
            << QSize(48, 48) << QPoint(24, 24) << Green;
        QTest::newRow("cur: the deepest of equal sizes")
            << "arrow.cur" << pic::iconFile({{32, 8, Green}, {32, 32, Blue}, {16, 32, Red}}, true)
            << QSize(32, 32) << QPoint(16, 16) << Blue;
        QTest::newRow("ico: the first of equal images")
            << "same.ico" << pic::iconFile({{32, 32, Red}, {32, 32, Blue}}) << QSize(32, 32)
            << QPoint(16, 16) << Red;
    }

    void everyTypeDecodesByContent() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        TempTree tree;
        const QImage image = LoadPicture(tree.write(name, bytes));
        QCOMPARE(image.size(), size);
        QVERIFY2(near(image.pixelColor(at), colour), qPrintable(image.pixelColor(at).name()));
        QCOMPARE(decodePicture(bytes).size(), size); // the same from memory
    }

    void damagedFilesFail_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray jpeg = pic::saved(noise(128), "jpg", 95);
        QByteArray jpegHeader = jpeg;
        jpegHeader.replace(2, 60, QByteArray(60, '\0'));
        QByteArray bmpLies = pic::saved(halves(), "bmp");
        bmpLies.replace(18, 8, mf::dwords({100000, 100000}));
        QByteArray icoPastEnd = pic::iconFile({{32, 32, Green}});
        icoPastEnd.replace(18, 4, mf::dwords({0x7fffff00}));
        QTest::newRow("empty file") << "empty.bmp" << QByteArray();
        QTest::newRow("text named .jpg") << "notes.jpg" << QByteArray("just some words\r\n");
        QTest::newRow("jpeg with a broken header") << "broken.jpg" << jpegHeader;
        QTest::newRow("jpeg cut off in its picture data")
            << "cut.jpg" << jpeg.left(jpeg.size() * 6 / 10);
        QTest::newRow("bmp claiming 100000 x 100000") << "huge.bmp" << bmpLies;
        QTest::newRow("png cut off") << "cut.png" << pic::saved(noise(64), "png").left(3000);
        QTest::newRow("gif without pictures") << "empty.gif" << pic::gif({8, 8}, {}).chopped(1);
        QTest::newRow("ico pointing past its end") << "bad.ico" << icoPastEnd;
    }

    void damagedFilesFail() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        TempTree tree;
        QCOMPARE(errorOf([&] { LoadPicture(tree.write(name, bytes)); }), 481);
    }

    // Even fitted into a small limit, where any size could be shown, a
    // picture whose header claims more than its file could hold is refused.
    void claimsMoreThanTheFileHolds_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const auto tiff = [](int compression) {
            QByteArray b("II*\0", 4);
            mf::put32(b, 8);
            const QList<std::array<qint64, 3>> entries = {
                {256, 4, 100000},      {257, 4, 100000}, {258, 3, 8},
                {259, 3, compression}, {262, 3, 1},      {273, 4, 8 + 2 + 9 * 12 + 4},
                {277, 3, 1},           {278, 4, 100000}, {279, 4, 100}};
            mf::put16(b, int(entries.size()));
            for (const auto& [tag, type, value] : entries) {
                mf::put16(b, int(tag)), mf::put16(b, int(type)), mf::put32(b, 1);
                if (type == 3)
                    mf::put16(b, int(value)), mf::put16(b, 0);
                else
                    mf::put32(b, value);
            }
            mf::put32(b, 0);
            return b + QByteArray(100, '\x55');
        };
        QByteArray jpeg = pic::saved(noise(64), "jpg", 90);
        const qsizetype frame = jpeg.indexOf("\xff\xc0");
        jpeg.replace(frame + 5, 4, QByteArray("\xfd\xe8\xfd\xe8", 4)); // 65000 x 65000
        QByteArray bmp = pic::saved(halves(), "bmp");
        bmp.replace(18, 8, mf::dwords({30000, 30000}));
        QTest::newRow("tiff, uncompressed") << "claims.tif" << tiff(1);
        QTest::newRow("tiff, LZW") << "claims-lzw.tif" << tiff(5);
        QTest::newRow("jpeg") << "claims.jpg" << jpeg;
        QTest::newRow("bmp") << "claims.bmp" << bmp;
    }

    void claimsMoreThanTheFileHolds() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        TempTree tree;
        QCOMPARE(errorOf([&] { LoadPicture(tree.write(name, bytes), {800, 600}); }), 481);
    }

    void missingFileIsNotFound() {
        TempTree tree;
        QCOMPARE(errorOf([&] { LoadPicture(tree.file("gone.bmp")); }), 53);
        QCOMPARE(errorOf([&] { LoadPicture(tree.mkdir("folder.bmp")); }), 53);
    }

    // A decode nobody waits for any more reads no further: it fails at once.
    void stopAskedEndsRasterDecoding() {
        TempTree tree;
        const std::atomic<bool> stop = true;
        for (const char* format : {"jpg", "png", "bmp", "tif"}) {
            const QByteArray bytes = pic::saved(noise(64), format);
            const QString path = tree.write(QString("pic.") + format, bytes);
            QCOMPARE(LoadPicture(path).size(), QSize(64, 64));
            QVERIFY_THROWS_EXCEPTION(PlatformError, LoadPicture(path, {}, &stop));
            QVERIFY_THROWS_EXCEPTION(PlatformError, decodePicture(bytes, {}, &stop));
        }
    }

    void exifOrientation_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColor>("topLeft");
        QTest::addColumn<QColor>("topRight");
        const QImage q = quadrants();
        const QColor R = Red, G = Green, B = Blue, W = Qt::white;
        // Where the stored corners show, for each orientation (stored: R G over B W).
        const QColor corners[8][2] = {{R, G}, {G, R}, {W, B}, {B, W},
                                      {R, B}, {B, R}, {W, G}, {G, W}};
        for (int o = 1; o <= 8; ++o)
            QTest::addRow("orientation %d, SHORT", o)
                << pic::jpegWithOrientation(q, o) << corners[o - 1][0] << corners[o - 1][1];
        // Some cameras and editors store the tag with another integer type.
        QTest::newRow("6 as LONG") << pic::jpegWithOrientation(q, 6, 4) << B << R;
        QTest::newRow("6 as SLONG") << pic::jpegWithOrientation(q, 6, 9) << B << R;
        QTest::newRow("8 as SLONG, big-endian")
            << pic::jpegWithOrientation(q, 8, 9, true) << G << W;
        QTest::newRow("3 as SHORT, big-endian")
            << pic::jpegWithOrientation(q, 3, 3, true) << W << B;
        QTest::newRow("out of range: as stored") << pic::jpegWithOrientation(q, 9) << R << G;
    }

    void exifOrientation() {
        QFETCH(QByteArray, bytes);
        QFETCH(QColor, topLeft);
        QFETCH(QColor, topRight);
        TempTree tree;
        const QImage image = LoadPicture(tree.write("photo.jpg", bytes));
        // A quarter turn swaps the sides: then the stored left column is on top.
        const bool turned =
            QSet<QRgb>{topLeft.rgb(), topRight.rgb()} == QSet<QRgb>{Red.rgb(), Blue.rgb()} ||
            QSet<QRgb>{topLeft.rgb(), topRight.rgb()} ==
                QSet<QRgb>{Green.rgb(), qRgb(255, 255, 255)};
        QCOMPARE(image.size(), turned ? QSize(20, 40) : QSize(40, 20));
        const int w = image.width(), h = image.height();
        QVERIFY2(near(image.pixelColor(w / 4, h / 4), topLeft),
                 qPrintable(image.pixelColor(w / 4, h / 4).name()));
        QVERIFY2(near(image.pixelColor(3 * w / 4, h / 4), topRight),
                 qPrintable(image.pixelColor(3 * w / 4, h / 4).name()));
    }

    void sizeLimit_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("limit");
        QTest::addColumn<QSize>("size");
        const QImage big = halves(400, 300);
        mf::Wmf wmf;
        wmf.solidBrush(255, 0, 0).select(0).rectangle(0, 0, 240, 240);
        wmf.solidBrush(0, 0, 255).select(1).rectangle(240, 0, 480, 240);
        mf::Emf emf;
        emf.solidBrush(1, 255, 0, 0).select(1).select(mf::NullPen).rectangle(0, 0, 200, 200);
        emf.solidBrush(2, 0, 0, 255).select(2).rectangle(200, 0, 400, 200);
        QTest::newRow("jpg, reduced decoding")
            << "a.jpg" << pic::saved(big, "jpg", 95) << QSize(100, 100) << QSize(100, 75);
        QTest::newRow("jpg turned by EXIF: the limit applies upright")
            << "b.jpg"
            << pic::jpegWithOrientation(halves(300, 400).transformed(QTransform().rotate(270)), 6,
                                        4)
            << QSize(300, 50) << QSize(38, 50);
        QTest::newRow("png") << "c.png" << pic::saved(big, "png") << QSize(200, 600)
                             << QSize(200, 150);
        QTest::newRow("tif, read in bands")
            << "t.tif" << pic::saved(big, "tif") << QSize(100, 100) << QSize(100, 75);
        QTest::newRow("bmp, read in bands")
            << "b.bmp" << pic::saved(big, "bmp") << QSize(100, 100) << QSize(100, 75);
        QTest::newRow("smaller than the limit: as it is")
            << "d.jpg" << pic::saved(halves(), "jpg", 95) << QSize(100, 100) << QSize(40, 20);
        QTest::newRow("wmf drawn at the shown size")
            << "e.wmf" << wmf.placeable({0, 0, 480, 240}, 96) << QSize(120, 120) << QSize(120, 60);
        QTest::newRow("emf drawn at the shown size")
            << "f.emf" << emf.file({0, 0, 10583, 5292}) << QSize(100, 100) << QSize(100, 50);
    }

    void sizeLimit() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, limit);
        QFETCH(QSize, size);
        TempTree tree;
        const QImage image = LoadPicture(tree.write(name, bytes), limit);
        QVERIFY2(qAbs(image.width() - size.width()) <= 1 &&
                     qAbs(image.height() - size.height()) <= 1,
                 qPrintable(QString("%1 x %2").arg(image.width()).arg(image.height())));
        // The whole picture, scaled: red left half, blue right half.
        const int w = image.width(), h = image.height();
        QVERIFY(near(image.pixelColor(w / 4, h / 2), Red));
        QVERIFY(near(image.pixelColor(3 * w / 4, h / 2), Blue));
    }

    // Rows stored bottom up (the usual way) or top down, whole or fitted.
    // A picture too large for the zoom to decode whole comes as the part in
    // view, read alone: the same pixels as that part of the whole, wherever
    // the file's rows run and however it is turned.
    void zoomedPartIsThatPartOfTheWhole_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QImage q = quadrants();
        for (int o = 1; o <= 8; ++o) {
            QTest::addRow("jpeg, orientation %d", o)
                << "photo.jpg" << pic::jpegWithOrientation(q, o);
            QTest::addRow("tiff, orientation %d", o) << "scan.tif" << TiffFixtures::ofImage(q, o);
        }
        QTest::newRow("bmp, bottom up") << "rows.bmp" << pic::saved(q, "bmp");
        QTest::newRow("bmp, top down") << "rows.bmp" << topDown(pic::saved(q.mirrored(), "bmp"));
    }

    void zoomedPartIsThatPartOfTheWhole() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        TempTree tree;
        const QString path = tree.write(name, bytes);
        const QImage whole = LoadPicture(path).convertToFormat(QImage::Format_RGB32);
        const QRect part(6, 4, 10, 12); // across a quarter's edge, turned or not
        const PictureDetail detail = loadPictureDetail(path, 1, part, 200);
        QVERIFY(detail.inParts);
        QCOMPARE(detail.covers, part);
        const QImage got = detail.image.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(got.size(), part.size());
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x) {
                const QRgb a = got.pixel(x, y), b = whole.pixel(part.topLeft() + QPoint(x, y));
                QVERIFY2(
                    qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) +
                            qAbs(qBlue(a) - qBlue(b)) <=
                        12,
                    qPrintable(
                        QString("%1, %2: %3 for %4").arg(x).arg(y).arg(a, 0, 16).arg(b, 0, 16)));
            }
    }

    void bitmapRowOrder_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("limit");
        // Stored top down, the rows of a picture turned upside down show it upright.
        const QByteArray bottomUp = pic::saved(quadrants(), "bmp");
        const QByteArray topDownBytes = topDown(pic::saved(quadrants().mirrored(), "bmp"));
        for (const QSize limit : {QSize(), QSize(20, 20)}) {
            const char* size = limit.isValid() ? "fitted" : "whole";
            QTest::addRow("bottom up, %s", size) << bottomUp << limit;
            QTest::addRow("top down, %s", size) << topDownBytes << limit;
        }
    }

    void bitmapRowOrder() {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, limit);
        TempTree tree;
        const QImage image = LoadPicture(tree.write("rows.bmp", bytes), limit);
        QCOMPARE(image.size(), limit.isValid() ? QSize(20, 10) : QSize(40, 20));
        const int w = image.width(), h = image.height();
        QVERIFY(near(image.pixelColor(w / 4, h / 4), Red));
        QVERIFY(near(image.pixelColor(3 * w / 4, h / 4), Green));
        QVERIFY(near(image.pixelColor(w / 4, 3 * h / 4), Blue));
        QVERIFY(near(image.pixelColor(3 * w / 4, 3 * h / 4), Qt::white));
    }

    void bmp32WithoutAlphaIsOpaque_data() {
        QTest::addColumn<int>("headerSize");
        QTest::addColumn<bool>("inMetafile");
        for (int size : {40, 108, 124})
            for (bool inMetafile : {false, true})
                QTest::addRow("%d-byte header%s", size, inMetafile ? ", in a WMF" : "")
                    << size << inMetafile;
    }

    void bmp32WithoutAlphaIsOpaque() {
        // 32-bit BI_RGB: the fourth bytes hold leftovers, which the picture ignores,
        // also when a newer header carries colour masks (an alpha mask among them).
        QFETCH(int, headerSize);
        QFETCH(bool, inMetafile);
        const int w = 8, h = 4;
        QByteArray bits;
        for (int i = 0; i < w * h; ++i)
            bits += char(i % 2 ? 255 : 0), bits += char(0), bits += char(i % 2 ? 0 : 255),
                bits += char(i * 37 % 256);
        QByteArray info = mf::dwords({headerSize, w, h});
        mf::put16(info, 1), mf::put16(info, 32);
        info += mf::dwords({0, bits.size(), 2835, 2835, 0, 0});
        if (headerSize > 40) info += mf::dwords({0xff0000, 0xff00, 0xff, 0xff000000});
        info += QByteArray(headerSize - info.size(), '\0');
        QByteArray bmp("BM");
        mf::put32(bmp, 14 + info.size() + bits.size()), mf::put32(bmp, 0),
            mf::put32(bmp, 14 + info.size());
        bmp += info + bits;
        const QByteArray file =
            inMetafile
                ? mf::Wmf()
                      .add(0x0F43, mf::words({0x20, 0xCC, 0, h, w, 0, 0, h, w, 0, 0}) + info + bits)
                      .placeable({0, 0, w, h}, 96)
                : bmp;
        TempTree tree;
        const QImage image = LoadPicture(tree.write("leftovers.bmp", file));
        QCOMPARE(image.size(), QSize(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) // rows stored bottom-up
                QVERIFY2(mf::isColor(image, x, y, ((h - 1 - y) * w + x) % 2 ? Blue : Red),
                         qPrintable(image.pixelColor(x, y).name(QColor::HexArgb)));
    }
};

QTEST_MAIN(TestPictureRaster)
#include "tst_picture_raster.moc"
