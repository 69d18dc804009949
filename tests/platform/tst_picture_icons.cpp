// Icons and cursors hold several images; the viewer shows the largest, and
// of equal sizes the deepest, wherever it stands in the file.
#include "platform/PictureLoader.h"
#include "tst_picture_files.h"

#include <QtTest>

using pic::IconImage;
Q_DECLARE_METATYPE(QList<IconImage>)

class TestPictureIcons : public QObject {
    Q_OBJECT
  private slots:
    void bestImageIsShown_data();
    void bestImageIsShown();
};

void TestPictureIcons::bestImageIsShown_data() {
    QTest::addColumn<QList<IconImage>>("images");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255);
    QTest::newRow("largest in the middle")
        << QList<IconImage>{{16, 32, red}, {48, 8, green}, {32, 32, blue}} << QSize(48, 48)
        << green;
    QTest::newRow("largest last") << QList<IconImage>{{16, 32, red}, {64, 32, blue}}
                                  << QSize(64, 64) << blue;
    QTest::newRow("equal sizes: the deepest")
        << QList<IconImage>{{32, 8, green}, {32, 32, blue}, {16, 32, red}} << QSize(32, 32) << blue;
    QTest::newRow("equal sizes and depths: the first")
        << QList<IconImage>{{32, 32, red}, {32, 32, blue}} << QSize(32, 32) << red;
    QTest::newRow("a single image") << QList<IconImage>{{16, 8, green}} << QSize(16, 16) << green;
}

void TestPictureIcons::bestImageIsShown() {
    QFETCH(QList<IconImage>, images);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    for (bool cursor : {false, true}) {
        const QImage image = decodePicture(pic::iconFile(images, cursor));
        QCOMPARE(image.size(), size);
        QCOMPARE(image.pixelColor(size.width() / 2, size.height() / 2), colour);
    }
}

QTEST_MAIN(TestPictureIcons)
#include "tst_picture_icons.moc"
