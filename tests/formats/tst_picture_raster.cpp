// The picture loader on real files: every type the filter offers decodes by
// its content whatever its name, damaged files fail with 481, a missing one
// with 53.
#include "formats/PictureLoader.h"
#include "support/TempTree.h"
#include "system/PlatformError.h"
#include "tst_picture_files.h"

#include <QRandomGenerator>
#include <QtTest>

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

bool near(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 48 && qAbs(a.green() - b.green()) < 48 &&
           qAbs(a.blue() - b.blue()) < 48;
}

int errorLoading(const QString& path) {
    try {
        LoadPicture(path);
        return 0;
    } catch (const PlatformError& e) {
        return e.number();
    }
}

} // namespace

class TestPictureRaster : public QObject {
    Q_OBJECT
  private slots:
    void everyTypeDecodesByContent_data();
    void everyTypeDecodesByContent();
    void damagedFilesFail_data();
    void damagedFilesFail();
    void missingFileIsNotFound();
};

void TestPictureRaster::everyTypeDecodesByContent_data() {
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
    // EXIF orientation: which way the red left half ends up.
    QTest::newRow("jpg, EXIF upside down")
        << "up.jpg" << pic::jpegWithOrientation(pic, 3) << pic.size() << QPoint(35, 10) << Red;
    QTest::newRow("jpg, EXIF turned right") << "right.jpg" << pic::jpegWithOrientation(pic, 6)
                                            << pic.size().transposed() << QPoint(10, 5) << Red;
    QTest::newRow("jpg, EXIF turned left") << "left.jpg" << pic::jpegWithOrientation(pic, 8)
                                           << pic.size().transposed() << QPoint(10, 5) << Blue;
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

void TestPictureRaster::everyTypeDecodesByContent() {
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

void TestPictureRaster::damagedFilesFail_data() {
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

void TestPictureRaster::damagedFilesFail() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    TempTree tree;
    QCOMPARE(errorLoading(tree.write(name, bytes)), 481);
}

void TestPictureRaster::missingFileIsNotFound() {
    TempTree tree;
    QCOMPARE(errorLoading(tree.file("gone.bmp")), 53);
    QCOMPARE(errorLoading(tree.mkdir("folder.bmp")), 53);
}

QTEST_MAIN(TestPictureRaster)
#include "tst_picture_raster.moc"
