// EMF objects, bitmaps, text and regions, written record by record, played
// through decodePicture, checked by their pixels. The reference device is 96
// dots per inch, so logical units in MM_TEXT are picture pixels.
#include "platform/PictureLoader.h"
#include "tst_metafile_writer.h"

#include <QtTest>

using mf::dwords;
using mf::floats;
using mf::rgb;

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255), Green(0, 255, 0);
const QRect TwoByOneInch(0, 0, 5080, 2540); // 192 x 96 pixels

// A red brush and the null pen: filled shapes show exactly their area.
mf::Emf redFill() {
    mf::Emf e;
    e.solidBrush(1, 255, 0, 0).select(1).select(mf::NullPen);
    return e;
}

QImage play(const mf::Emf& e, QRect frame = TwoByOneInch) {
    return decodePicture(e.file(frame));
}

QByteArray fontRecord(int index, int height, const QString& face) {
    QByteArray b = dwords({index, height, 0, 0, 0, 400});
    b += QByteArray(8, '\0');
    QByteArray name;
    for (QChar c : face)
        mf::put16(name, c.unicode());
    return b + name.leftJustified(64, '\0');
}

} // namespace

class TestMetafileEmfObjects : public QObject {
    Q_OBJECT
  private slots:
    void stockObjectsAndRestoredBrush();
    void stretchDibits_data();
    void stretchDibits();
    void blitWithoutBitmapFills();
    void alphaBlendKeepsAlpha();
    void text_data();
    void text();
    void textAdvancesAndOpaqueBox();
    void clipRegions();
};

void TestMetafileEmfObjects::stockObjectsAndRestoredBrush() {
    mf::Emf e;
    e.select(mf::BlackBrush).select(mf::NullPen).rectangle(10, 10, 40, 40);
    e.add(33, QByteArray()).solidBrush(3, 0, 255, 0).select(3).rectangle(50, 10, 80, 40);
    e.add(34, {-1}).rectangle(90, 10, 120, 40); // black again
    e.select(mf::NullBrush).select(mf::BlackPen).rectangle(130, 10, 160, 40);
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 25, 25, Qt::black));
    QVERIFY(mf::isColor(image, 65, 25, Green));
    QVERIFY(mf::isColor(image, 105, 25, Qt::black));
    QVERIFY(mf::isClear(image, 145, 25));           // hollow
    QVERIFY(image.pixelColor(130, 25).alpha() > 0); // but outlined
}

void TestMetafileEmfObjects::stretchDibits_data() {
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<QRect>("source");
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("bottomRight");
    // Quarters: red, green on top; blue, white below. A bottom-up DIB's source
    // rectangle counts from the bottom.
    QTest::newRow("whole, bottom-up") << false << QRect(0, 0, 20, 20) << Red << QColor(Qt::white);
    QTest::newRow("whole, top-down") << true << QRect(0, 0, 20, 20) << Red << QColor(Qt::white);
    QTest::newRow("lower left quarter, bottom-up") << false << QRect(0, 0, 10, 10) << Blue << Blue;
    QTest::newRow("upper right quarter, top-down")
        << true << QRect(10, 0, 10, 10) << Green << Green;
}

void TestMetafileEmfObjects::stretchDibits() {
    QFETCH(bool, topDown);
    QFETCH(QRect, source);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, bottomRight);
    QImage quarters(20, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            quarters.setPixelColor(x, y,
                                   y < 10 ? (x < 10 ? Red : Green) : (x < 10 ? Blue : Qt::white));
    QByteArray dib = mf::dib24(topDown ? quarters.mirrored() : quarters);
    if (topDown) dib.replace(8, 4, dwords({-20}));
    const QByteArray info = dib.left(40), bits = dib.mid(40);
    const int fixed = 80; // the record's fixed part, its header included
    QByteArray record =
        dwords({0, 0, 0, 0, 50, 20, source.x(), source.y(), source.width(), source.height(), fixed,
                40, fixed + 40, bits.size(), 0, 0xCC0020, 80, 60});
    mf::Emf e;
    e.add(81, record + info + bits);
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 55, 25, topLeft));
    QVERIFY(mf::isColor(image, 125, 75, bottomRight));
    QVERIFY(mf::isClear(image, 45, 25));
}

void TestMetafileEmfObjects::blitWithoutBitmapFills() {
    mf::Emf e;
    e.solidBrush(1, 0, 0, 255).select(1);
    const QByteArray noSource =
        dwords({0, 0, 0, 0, 0, 0}) + floats({1, 0, 0, 1, 0, 0}) + dwords({0, 0, 0, 0, 0, 0});
    e.add(76, dwords({0, 0, 0, 0, 10, 10, 30, 30, 0xF00021}) + noSource.mid(0, 8) +
                  noSource.mid(8));                                       // PATCOPY
    e.add(76, dwords({0, 0, 0, 0, 50, 10, 30, 30, 0x000042}) + noSource); // BLACKNESS
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 25, 25, Blue));
    QVERIFY(mf::isColor(image, 65, 25, Qt::black));
    QVERIFY(mf::isClear(image, 95, 25));
}

void TestMetafileEmfObjects::alphaBlendKeepsAlpha() {
    // A 2x1 32-bit DIB: opaque red, then half-transparent blue (premultiplied).
    QByteArray info = dwords({40, 2, 1}) + mf::words({1, 32}) + dwords({0, 0, 0, 0, 0, 0});
    QByteArray bits = QByteArray("\x00\x00\xff\xff\x80\x00\x00\x80", 8);
    const int fixed = 108;
    QByteArray record = dwords({0, 0, 0, 0, 10, 10, 80, 40}) + QByteArray("\x00\x00\xff\x01", 4) +
                        dwords({0, 0}) + floats({1, 0, 0, 1, 0, 0}) +
                        dwords({0, 0, fixed, 40, fixed + 40, 8, 2, 1});
    mf::Emf e;
    e.add(114, record + info + bits);
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 30, 30, Red));
    const QColor half = image.pixelColor(70, 30);
    QVERIFY2(half.alpha() > 100 && half.alpha() < 160, qPrintable(QString::number(half.alpha())));
    QVERIFY(half.blue() > 200 && half.red() < 30);
}

void TestMetafileEmfObjects::text_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("align");
    QTest::addColumn<QRect>("area");
    // Reference point (100, 50), font 30 pixels high, "HHHH".
    QTest::newRow("ExtTextOutW, left top") << 84 << 0 << QRect(99, 49, 93, 47);
    QTest::newRow("ExtTextOutW, right baseline") << 84 << (2 | 24) << QRect(0, 15, 101, 40);
    QTest::newRow("ExtTextOutA, centre top") << 83 << 6 << QRect(40, 49, 120, 47);
    QTest::newRow("SmallTextOut, left top") << 108 << 0 << QRect(99, 49, 93, 47);
}

void TestMetafileEmfObjects::text() {
    QFETCH(int, type);
    QFETCH(int, align);
    QFETCH(QRect, area);
    mf::Emf e;
    e.add(82, fontRecord(1, -30, "Liberation Sans")).select(1);
    e.add(24, {rgb(255, 0, 0)}).add(18, {1}).add(22, {align});
    if (type == 108) {
        e.add(108, dwords({100, 50, 4, 0x300, 1, 0, 0}) + QByteArray("HHHH"));
    } else {
        const bool wide = type == 84;
        QByteArray text = wide ? QByteArray("H\0H\0H\0H\0", 8) : QByteArray("HHHH");
        e.add(type, dwords({0, 0, 0, 0, 1, 0, 0, 100, 50, 4, 76, 0x100, 0, 0, 0, 0, 0}) + text);
    }
    const QImage image = play(e);
    const QRect ink = mf::inkBounds(image);
    QVERIFY2(ink.width() > 40 && ink.height() > 15, "the text draws something");
    QVERIFY2(area.contains(ink), qPrintable(QString("ink at %1,%2 %3x%4")
                                                .arg(ink.x())
                                                .arg(ink.y())
                                                .arg(ink.width())
                                                .arg(ink.height())));
}

void TestMetafileEmfObjects::textAdvancesAndOpaqueBox() {
    mf::Emf e;
    e.add(82, fontRecord(1, -30, "Liberation Sans")).select(1);
    e.add(24, {rgb(255, 0, 0)}).add(25, {rgb(0, 255, 0)}).add(18, {1});
    // "II" with the second I 100 units on, over an opaque box: ETO_OPAQUE.
    e.add(84, dwords({0, 0, 0, 0, 1, 0, 0, 20, 20, 2, 76, 0x2, 10, 10, 180, 90, 80}) +
                  QByteArray("I\0I\0", 4) + dwords({100, 10}));
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 15, 85, Green)); // the box, beyond the text
    QVERIFY(mf::isClear(image, 185, 50));
    auto redIn = [&](int from, int to) {
        for (int x = from; x < to; ++x)
            for (int y = 15; y < 60; ++y)
                if (mf::isColor(image, x, y, Red)) return true;
        return false;
    };
    QVERIFY(redIn(18, 40));   // the first I at 20
    QVERIFY(!redIn(45, 110)); // nothing between
    QVERIFY(redIn(115, 140)); // the second at 120
}

void TestMetafileEmfObjects::clipRegions() {
    auto region = [](QRect r) {
        return dwords({32, 1, 1, 16, r.left(), r.top(), r.right() + 1, r.bottom() + 1, r.left(),
                       r.top(), r.right() + 1, r.bottom() + 1});
    };
    mf::Emf e = redFill();
    e.add(75, dwords({48, 5}) + region(QRect(10, 10, 40, 40))); // RGN_COPY
    e.add(75, dwords({48, 2}) + region(QRect(60, 10, 40, 40))); // RGN_OR
    e.rectangle(0, 0, 192, 60);
    e.add(75, dwords({0, 5})); // no clipping again
    e.solidBrush(2, 0, 0, 255).select(2).rectangle(0, 70, 192, 96);
    e.add(71, dwords({0, 0, 0, 0, 48, 2}) + region(QRect(150, 10, 20, 20))); // FillRgn
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 30, 30, Red));
    QVERIFY(mf::isColor(image, 80, 30, Red));
    QVERIFY(mf::isClear(image, 50, 30));
    QVERIFY(mf::isClear(image, 120, 30));
    QVERIFY(mf::isColor(image, 100, 80, Blue));
    QVERIFY(mf::isColor(image, 160, 20, Blue));
}

QTEST_MAIN(TestMetafileEmfObjects)
#include "tst_metafile_emf_objects.moc"
