// WMF objects, bitmaps and text, written record by record, played through
// decodePicture, checked by their pixels.
#include "platform/PictureLoader.h"
#include "tst_metafile_writer.h"

#include <QtTest>

#include <cmath>

using mf::colorWords;
using mf::words;

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255), Green(0, 255, 0);

// A red brush and a null pen selected: filled shapes show exactly their area.
mf::Wmf redFill() {
    mf::Wmf w;
    w.solidBrush(255, 0, 0).pen(5, 0, 0, 0, 0).select(0).select(1);
    return w;
}

QImage placeable(const mf::Wmf& w, QRect box = {0, 0, 200, 100}, int inch = 96) {
    return decodePicture(w.placeable(box, inch));
}

} // namespace

class TestMetafileWmfObjects : public QObject {
    Q_OBJECT
  private slots:
    void embeddedBitmaps_data();
    void embeddedBitmaps();
    void text_data();
    void text();
    void hatchedBrushShowsBackgroundWhenOpaque();
    void objectTableReusesFreedSlots();
    void unknownAndBrokenRecordsAreSkipped();
};

void TestMetafileWmfObjects::embeddedBitmaps_data() {
    QTest::addColumn<int>("function");
    QTest::addColumn<QByteArray>("params"); // before the DIB
    QTest::addColumn<QRect>("dest");
    const int rop = 0xCC0020; // SRCCOPY
    const int lo = rop & 0xffff, hi = rop >> 16;
    QTest::newRow("StretchDIB") << 0x0F43 << words({lo, hi, 0, 20, 20, 0, 0, 80, 80, 10, 30})
                                << QRect(30, 10, 80, 80);
    QTest::newRow("DIBStretchBlt")
        << 0x0B41 << words({lo, hi, 20, 20, 0, 0, 40, 60, 50, 100}) << QRect(100, 50, 60, 40);
    QTest::newRow("DIBBitBlt") << 0x0940 << words({lo, hi, 0, 0, 20, 20, 30, 40})
                               << QRect(40, 30, 20, 20);
    QTest::newRow("SetDIBitsToDevice")
        << 0x0D33 << words({0, 20, 0, 0, 0, 20, 20, 5, 150}) << QRect(150, 5, 20, 20);
}

void TestMetafileWmfObjects::embeddedBitmaps() {
    QFETCH(int, function);
    QFETCH(QByteArray, params);
    QFETCH(QRect, dest);
    QImage quarters(20, 20, QImage::Format_RGB32);
    quarters.fill(Qt::white);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            quarters.setPixelColor(x, y,
                                   y < 10 ? (x < 10 ? Red : Green) : (x < 10 ? Blue : Qt::white));
    mf::Wmf w;
    w.add(function, params + mf::dib24(quarters));
    const QImage image = placeable(w);
    const int qx = dest.width() / 4, qy = dest.height() / 4;
    QVERIFY(mf::isColor(image, dest.left() + qx, dest.top() + qy, Red));
    QVERIFY(mf::isColor(image, dest.right() - qx, dest.top() + qy, Green));
    QVERIFY(mf::isColor(image, dest.left() + qx, dest.bottom() - qy, Blue));
    QVERIFY(mf::isColor(image, dest.right() - qx, dest.bottom() - qy, Qt::white));
    QVERIFY(mf::isClear(image, dest.left() - 3, dest.top() - 3));
}

void TestMetafileWmfObjects::text_data() {
    QTest::addColumn<int>("align");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<QRect>("area"); // where the ink must stay
    // Reference point (100, 50), font 30 pixels high.
    QTest::newRow("left top") << 0 << false << QRect(99, 49, 101, 51);
    QTest::newRow("right baseline") << (2 | 24) << false << QRect(0, 15, 101, 40);
    QTest::newRow("centre bottom, ExtTextOut") << (6 | 8) << true << QRect(40, 10, 120, 41);
}

void TestMetafileWmfObjects::text() {
    QFETCH(int, align);
    QFETCH(bool, extended);
    QFETCH(QRect, area);
    QByteArray font = words({-30, 0, 0, 0, 700}) + QByteArray("\0\0\0\0\0\0\0\0", 8);
    font += QByteArray("Liberation Sans").leftJustified(32, '\0');
    mf::Wmf w;
    w.add(0x02FB, font).select(0).add(0x0209, colorWords(255, 0, 0)).add(0x0102, {1});
    w.add(0x012E, {align});
    if (extended)
        w.add(0x0A32, words({50, 100, 4, 0}) + QByteArray("HHHH"));
    else
        w.add(0x0521, words({4}) + QByteArray("HHHH") + words({50, 100}));
    const QImage image = placeable(w);
    const QRect ink = mf::inkBounds(image);
    QVERIFY2(!ink.isEmpty(), "the text draws something");
    QVERIFY2(area.contains(ink), qPrintable(QString("ink at %1,%2 %3x%4")
                                                .arg(ink.x())
                                                .arg(ink.y())
                                                .arg(ink.width())
                                                .arg(ink.height())));
    QVERIFY(ink.width() > 40 && ink.height() > 15);
    bool red = false;
    for (int y = ink.top(); y <= ink.bottom() && !red; ++y)
        for (int x = ink.left(); x <= ink.right() && !red; ++x)
            red = mf::isColor(image, x, y, Red);
    QVERIFY(red);
}

void TestMetafileWmfObjects::hatchedBrushShowsBackgroundWhenOpaque() {
    for (bool opaque : {false, true}) {
        mf::Wmf w;
        w.add(0x02FC, words({2}) + colorWords(255, 0, 0) + words({4})); // HS_CROSS
        w.pen(5, 0, 0, 0, 0).select(0).select(1);
        w.add(0x0201, colorWords(0, 0, 255)).add(0x0102, {opaque ? 2 : 1});
        w.rectangle(20, 20, 80, 80);
        const QImage image = placeable(w);
        int red = 0, blue = 0, clear = 0;
        for (int y = 25; y < 75; ++y)
            for (int x = 25; x < 75; ++x) {
                red += mf::isColor(image, x, y, Red);
                blue += mf::isColor(image, x, y, Blue);
                clear += mf::isClear(image, x, y);
            }
        QVERIFY(red > 100);
        QCOMPARE(blue > 0, opaque);
        QCOMPARE(clear > 0, !opaque);
    }
}

void TestMetafileWmfObjects::objectTableReusesFreedSlots() {
    mf::Wmf w;
    w.solidBrush(255, 0, 0).solidBrush(0, 0, 255).pen(5, 0, 0, 0, 0).select(2);
    w.add(0x01F0, {0});      // delete the red brush: slot 0 is free
    w.solidBrush(0, 255, 0); // so green takes it
    w.select(0).rectangle(10, 10, 50, 50);
    w.select(1).rectangle(60, 10, 100, 50);
    w.add(0x012D, {9}).rectangle(110, 10, 150, 50); // nothing in slot 9: blue stays
    const QImage image = placeable(w);
    QVERIFY(mf::isColor(image, 30, 30, Green));
    QVERIFY(mf::isColor(image, 80, 30, Blue));
    QVERIFY(mf::isColor(image, 130, 30, Blue));
}

void TestMetafileWmfObjects::unknownAndBrokenRecordsAreSkipped() {
    mf::Wmf w = redFill();
    w.add(0x0999, QByteArray(10, '\x55'));       // no such record
    w.add(0x0324, words({5000, 1, 1}));          // polygon claiming 5000 points
    w.add(0x0F43, words({0x20, 0xCC, 0, 1, 1})); // StretchDIB cut short
    w.add(0x0A32, words({1, 1, 30000}));         // text longer than its record
    w.rectangle(20, 20, 60, 60);
    const QImage image = placeable(w);
    QVERIFY(mf::isColor(image, 40, 40, Red));
}

QTEST_MAIN(TestMetafileWmfObjects)
#include "tst_metafile_wmf_objects.moc"
