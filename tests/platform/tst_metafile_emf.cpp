// EMF files written record by record, played through decodePicture, checked
// by their pixels. The reference device is 96 dots per inch unless a row says
// otherwise, so logical units in MM_TEXT are picture pixels.
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

QImage play(const mf::Emf& e, QRect frame = TwoByOneInch) { return decodePicture(e.file(frame)); }

QByteArray points16(const QPolygon& points) {
    QByteArray b = dwords({0, 0, 0, 0, points.size()});
    for (QPoint p : points) b += mf::words({p.x(), p.y()});
    return b;
}

void checkRect(const QImage& image, QRect r, QColor color) {
    QVERIFY(mf::isColor(image, r.center().x(), r.center().y(), color));
    QVERIFY(mf::isColor(image, r.left() + 2, r.top() + 2, color));
    QVERIFY(mf::isColor(image, r.right() - 2, r.bottom() - 2, color));
    QVERIFY(!mf::isColor(image, r.left() - 3, r.center().y(), color));
    QVERIFY(!mf::isColor(image, r.center().x(), r.bottom() + 3, color));
}

QByteArray fontRecord(int index, int height, const QString& face) {
    QByteArray b = dwords({index, height, 0, 0, 0, 400});
    b += QByteArray(8, '\0');
    QByteArray name;
    for (QChar c : face) mf::put16(name, c.unicode());
    return b + name.leftJustified(64, '\0');
}

} // namespace

class TestMetafileEmf : public QObject {
    Q_OBJECT
  private slots:
    void frameGivesSizeAndMapping_data();
    void frameGivesSizeAndMapping();
    void noFrameGivesBoundsOfDrawing();
    void worldTransforms_data();
    void worldTransforms();
    void mappingModes_data();
    void mappingModes();
    void paths_data();
    void paths();
    void bezierFollowsItsCurve();
    void arcDirection_data();
    void arcDirection();
    void polyPolygonFillModes_data();
    void polyPolygonFillModes();
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

void TestMetafileEmf::frameGivesSizeAndMapping_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QSize>("devicePx");
    QTest::addColumn<QSize>("deviceMm");
    QTest::addColumn<QRect>("drawn");  // logical = reference device pixels
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected"); // picture pixels
    QTest::newRow("two inches by one") << TwoByOneInch << QSize(1920, 1920) << QSize(508, 508)
                                       << QRect(20, 10, 40, 40) << QSize(192, 96)
                                       << QRect(20, 10, 40, 40);
    QTest::newRow("frame away from the origin")
        << QRect(2540, 2540, 5080, 2540) << QSize(1920, 1920) << QSize(508, 508)
        << QRect(116, 106, 40, 40) << QSize(192, 96) << QRect(20, 10, 40, 40);
    QTest::newRow("ten pixels a millimetre") << QRect(0, 0, 2540, 2540) << QSize(1000, 1000)
                                             << QSize(100, 100) << QRect(0, 0, 127, 127)
                                             << QSize(96, 96) << QRect(0, 0, 48, 48);
}

void TestMetafileEmf::frameGivesSizeAndMapping() {
    QFETCH(QRect, frame);
    QFETCH(QSize, devicePx);
    QFETCH(QSize, deviceMm);
    QFETCH(QRect, drawn);
    QFETCH(QSize, size);
    QFETCH(QRect, expected);
    mf::Emf e = redFill();
    e.rectangle(drawn.left(), drawn.top(), drawn.right() + 1, drawn.bottom() + 1);
    const QImage image = decodePicture(e.file(frame, 16, devicePx, deviceMm));
    QCOMPARE(image.size(), size);
    checkRect(image, expected, Red);
}

void TestMetafileEmf::noFrameGivesBoundsOfDrawing() {
    mf::Emf e = redFill();
    e.rectangle(30, 40, 100, 90);
    const QImage image = decodePicture(e.file(QRect()));
    QCOMPARE(image.size(), QSize(70, 50));
    QVERIFY(mf::isColor(image, 1, 1, Red));
    QVERIFY(mf::isColor(image, 68, 48, Red));
}

void TestMetafileEmf::worldTransforms_data() {
    QTest::addColumn<QByteArray>("records"); // a whole file whose records come first
    QTest::addColumn<QRect>("expected");
    auto file = [](auto setup) {
        mf::Emf e = redFill();
        setup(e);
        e.rectangle(5, 5, 25, 25);
        return e.file(TwoByOneInch);
    };
    QTest::newRow("scale two") << file([](mf::Emf& e) { e.add(35, floats({2, 0, 0, 2, 0, 0})); })
                               << QRect(10, 10, 40, 40);
    QTest::newRow("left multiply: translate first") << file([](mf::Emf& e) {
        e.add(35, floats({2, 0, 0, 2, 0, 0}));
        e.add(36, floats({1, 0, 0, 1, 10, 0}) + dwords({2}));
    }) << QRect(30, 10, 40, 40);
    QTest::newRow("right multiply: translate last") << file([](mf::Emf& e) {
        e.add(35, floats({2, 0, 0, 2, 0, 0}));
        e.add(36, floats({1, 0, 0, 1, 10, 0}) + dwords({3}));
    }) << QRect(20, 10, 40, 40);
    QTest::newRow("identity again") << file([](mf::Emf& e) {
        e.add(35, floats({2, 0, 0, 2, 0, 0}));
        e.add(36, floats({0, 0, 0, 0, 0, 0}) + dwords({1}));
    }) << QRect(5, 5, 20, 20);
    QTest::newRow("restored by RestoreDC") << file([](mf::Emf& e) {
        e.add(33, QByteArray()).add(35, floats({4, 0, 0, 4, 0, 0})).add(34, {-1});
        e.add(35, floats({2, 0, 0, 2, 0, 0}));
    }) << QRect(10, 10, 40, 40);
}

void TestMetafileEmf::worldTransforms() {
    QFETCH(QByteArray, records);
    QFETCH(QRect, expected);
    checkRect(decodePicture(records), expected, Red);
}

void TestMetafileEmf::mappingModes_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QRect>("expected");
    auto file = [](auto setup, QRect r) {
        mf::Emf e = redFill();
        setup(e);
        e.rectangle(r.left(), r.top(), r.right(), r.bottom());
        return e.file(TwoByOneInch);
    };
    QTest::newRow("anisotropic") << file([](mf::Emf& e) {
        e.add(17, {8}).add(9, {1000, 1000}).add(11, {96, 96});
    }, QRect(QPoint(100, 100), QPoint(500, 500))) << QRect(10, 10, 38, 38);
    QTest::newRow("anisotropic, y flipped by the viewport") << file([](mf::Emf& e) {
        e.add(17, {8}).add(9, {1000, 1000}).add(11, {96, -96}).add(12, {0, 96});
    }, QRect(QPoint(100, 100), QPoint(500, 500))) << QRect(10, 48, 38, 38);
    QTest::newRow("tenths of a millimetre, y up") << file([](mf::Emf& e) {
        e.add(17, {2}).add(12, {0, 96});
    }, QRect(QPoint(127, 254), QPoint(254, 127))) << QRect(48, 0, 48, 48);
    QTest::newRow("twips with a window origin") << file([](mf::Emf& e) {
        e.add(17, {6}).add(10, {-1440, 0});
    }, QRect(QPoint(-1440, 0), QPoint(-720, -720))) << QRect(0, 0, 48, 48);
}

void TestMetafileEmf::mappingModes() {
    QFETCH(QByteArray, file);
    QFETCH(QRect, expected);
    checkRect(decodePicture(file), expected, Red);
}

void TestMetafileEmf::paths_data() {
    QTest::addColumn<QList<int>>("finish"); // records after the path's figure
    QTest::addColumn<bool>("filled");
    QTest::addColumn<bool>("outlined");
    QTest::newRow("fill") << QList<int>{60, 62} << true << false;
    QTest::newRow("stroke") << QList<int>{60, 64} << false << true;
    QTest::newRow("stroke and fill") << QList<int>{60, 63} << true << true;
    QTest::newRow("never finished") << QList<int>{60} << false << false;
    QTest::newRow("aborted") << QList<int>{60, 68, 62} << false << false;
}

void TestMetafileEmf::paths() {
    QFETCH(QList<int>, finish);
    QFETCH(bool, filled);
    QFETCH(bool, outlined);
    mf::Emf e;
    e.solidBrush(1, 255, 0, 0).pen(2, 0, 5, 0, 0, 255).select(1).select(2);
    e.add(59, QByteArray()).add(27, {20, 20}).add(54, {100, 20}).add(54, {60, 80});
    e.add(61, QByteArray());
    e.rectangle(130, 20, 170, 60); // a second figure
    for (int type : finish) e.add(type, QByteArray(16, '\0'));
    const QImage image = play(e);
    QCOMPARE(mf::isColor(image, 60, 40, Red), filled);
    QCOMPARE(mf::isColor(image, 150, 40, Red), filled);
    QCOMPARE(mf::isColor(image, 60, 20, Blue), outlined);
    QCOMPARE(mf::isColor(image, 150, 20, Blue), outlined);
    if (!filled && !outlined) QVERIFY(mf::inkBounds(image).isEmpty());
}

void TestMetafileEmf::bezierFollowsItsCurve() {
    mf::Emf e;
    e.pen(1, 0, 3, 0, 0, 255).select(1);
    e.add(85, points16({{10, 50}, {10, 10}, {86, 10}, {86, 50}})); // PolyBezier16
    e.add(27, {100, 50});
    e.add(88, points16({{100, 10}, {176, 10}, {176, 50}}));        // PolyBezierTo16
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 48, 20, Blue)); // the midpoint of the first curve
    QVERIFY(mf::isColor(image, 138, 20, Blue));
    QVERIFY(mf::isClear(image, 48, 40));
    QVERIFY(mf::isClear(image, 138, 40));
}

void TestMetafileEmf::arcDirection_data() {
    QTest::addColumn<int>("direction");
    QTest::addColumn<bool>("onlyTopRight");
    QTest::newRow("counterclockwise") << 1 << true;
    QTest::newRow("clockwise") << 2 << false;
}

void TestMetafileEmf::arcDirection() {
    QFETCH(int, direction);
    QFETCH(bool, onlyTopRight);
    mf::Emf e = redFill();
    e.add(57, {direction});
    e.add(47, {20, 10, 100, 90, 100, 50, 60, 10}); // pie from the right to the top
    const QImage image = play(e);
    QCOMPARE(mf::isColor(image, 75, 30, Red), onlyTopRight);
    QCOMPARE(mf::isColor(image, 40, 70, Red), !onlyTopRight);
}

void TestMetafileEmf::polyPolygonFillModes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("holeFilled");
    QTest::newRow("alternate") << 1 << false;
    QTest::newRow("winding") << 2 << true;
}

void TestMetafileEmf::polyPolygonFillModes() {
    QFETCH(int, mode);
    QFETCH(bool, holeFilled);
    mf::Emf e = redFill();
    e.add(19, {mode});
    QByteArray poly = dwords({0, 0, 0, 0, 2, 8, 4, 4});
    for (QPoint p : QPolygon({{10, 10}, {90, 10}, {90, 90}, {10, 90}, {30, 30}, {70, 30}, {70, 70}, {30, 70}}))
        poly += mf::words({p.x(), p.y()});
    e.add(91, poly); // PolyPolygon16
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 20, 50, Red));
    QCOMPARE(mf::isColor(image, 50, 50, Red), holeFilled);
}

void TestMetafileEmf::stockObjectsAndRestoredBrush() {
    mf::Emf e;
    e.select(mf::BlackBrush).select(mf::NullPen).rectangle(10, 10, 40, 40);
    e.add(33, QByteArray()).solidBrush(3, 0, 255, 0).select(3).rectangle(50, 10, 80, 40);
    e.add(34, {-1}).rectangle(90, 10, 120, 40); // black again
    e.select(mf::NullBrush).select(mf::BlackPen).rectangle(130, 10, 160, 40);
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 25, 25, Qt::black));
    QVERIFY(mf::isColor(image, 65, 25, Green));
    QVERIFY(mf::isColor(image, 105, 25, Qt::black));
    QVERIFY(mf::isClear(image, 145, 25));          // hollow
    QVERIFY(image.pixelColor(130, 25).alpha() > 0); // but outlined
}

void TestMetafileEmf::stretchDibits_data() {
    QTest::addColumn<bool>("topDown");
    QTest::addColumn<QRect>("source");
    QTest::addColumn<QColor>("topLeft");
    QTest::addColumn<QColor>("bottomRight");
    // Quarters: red, green on top; blue, white below. A bottom-up DIB's source
    // rectangle counts from the bottom.
    QTest::newRow("whole, bottom-up") << false << QRect(0, 0, 20, 20) << Red << QColor(Qt::white);
    QTest::newRow("whole, top-down") << true << QRect(0, 0, 20, 20) << Red << QColor(Qt::white);
    QTest::newRow("lower left quarter, bottom-up") << false << QRect(0, 0, 10, 10) << Blue << Blue;
    QTest::newRow("upper right quarter, top-down") << true << QRect(10, 0, 10, 10) << Green << Green;
}

void TestMetafileEmf::stretchDibits() {
    QFETCH(bool, topDown);
    QFETCH(QRect, source);
    QFETCH(QColor, topLeft);
    QFETCH(QColor, bottomRight);
    QImage quarters(20, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            quarters.setPixelColor(x, y, y < 10 ? (x < 10 ? Red : Green) : (x < 10 ? Blue : Qt::white));
    QByteArray dib = mf::dib24(topDown ? quarters.mirrored() : quarters);
    if (topDown) dib.replace(8, 4, dwords({-20}));
    const QByteArray info = dib.left(40), bits = dib.mid(40);
    const int fixed = 80; // the record's fixed part, its header included
    QByteArray record = dwords({0, 0, 0, 0, 50, 20, source.x(), source.y(), source.width(),
                                source.height(), fixed, 40, fixed + 40, bits.size(), 0,
                                0xCC0020, 80, 60});
    mf::Emf e;
    e.add(81, record + info + bits);
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 55, 25, topLeft));
    QVERIFY(mf::isColor(image, 125, 75, bottomRight));
    QVERIFY(mf::isClear(image, 45, 25));
}

void TestMetafileEmf::blitWithoutBitmapFills() {
    mf::Emf e;
    e.solidBrush(1, 0, 0, 255).select(1);
    const QByteArray noSource = dwords({0, 0, 0, 0, 0, 0}) + floats({1, 0, 0, 1, 0, 0}) +
                                dwords({0, 0, 0, 0, 0, 0});
    e.add(76, dwords({0, 0, 0, 0, 10, 10, 30, 30, 0xF00021}) + noSource.mid(0, 8) +
                  noSource.mid(8)); // PATCOPY
    e.add(76, dwords({0, 0, 0, 0, 50, 10, 30, 30, 0x000042}) + noSource); // BLACKNESS
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 25, 25, Blue));
    QVERIFY(mf::isColor(image, 65, 25, Qt::black));
    QVERIFY(mf::isClear(image, 95, 25));
}

void TestMetafileEmf::alphaBlendKeepsAlpha() {
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

void TestMetafileEmf::text_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("align");
    QTest::addColumn<QRect>("area");
    // Reference point (100, 50), font 30 pixels high, "HHHH".
    QTest::newRow("ExtTextOutW, left top") << 84 << 0 << QRect(99, 49, 93, 47);
    QTest::newRow("ExtTextOutW, right baseline") << 84 << (2 | 24) << QRect(0, 15, 101, 40);
    QTest::newRow("ExtTextOutA, centre top") << 83 << 6 << QRect(40, 49, 120, 47);
    QTest::newRow("SmallTextOut, left top") << 108 << 0 << QRect(99, 49, 93, 47);
}

void TestMetafileEmf::text() {
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
    QVERIFY2(area.contains(ink), qPrintable(QString("ink at %1,%2 %3x%4").arg(ink.x()).arg(ink.y())
                                                .arg(ink.width()).arg(ink.height())));
}

void TestMetafileEmf::textAdvancesAndOpaqueBox() {
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

void TestMetafileEmf::clipRegions() {
    auto region = [](QRect r) {
        return dwords({32, 1, 1, 16, r.left(), r.top(), r.right() + 1, r.bottom() + 1,
                       r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    };
    mf::Emf e = redFill();
    e.add(75, dwords({48, 5}) + region(QRect(10, 10, 40, 40))); // RGN_COPY
    e.add(75, dwords({48, 2}) + region(QRect(60, 10, 40, 40))); // RGN_OR
    e.rectangle(0, 0, 192, 60);
    e.add(75, dwords({0, 5}));                                  // no clipping again
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

QTEST_MAIN(TestMetafileEmf)
#include "tst_metafile_emf.moc"
