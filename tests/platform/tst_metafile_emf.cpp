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

QImage play(const mf::Emf& e, QRect frame = TwoByOneInch) {
    return decodePicture(e.file(frame));
}

QByteArray points16(const QPolygon& points) {
    QByteArray b = dwords({0, 0, 0, 0, points.size()});
    for (QPoint p : points)
        b += mf::words({p.x(), p.y()});
    return b;
}

void checkRect(const QImage& image, QRect r, QColor color) {
    QVERIFY(mf::isColor(image, r.center().x(), r.center().y(), color));
    QVERIFY(mf::isColor(image, r.left() + 2, r.top() + 2, color));
    QVERIFY(mf::isColor(image, r.right() - 2, r.bottom() - 2, color));
    QVERIFY(!mf::isColor(image, r.left() - 3, r.center().y(), color));
    QVERIFY(!mf::isColor(image, r.center().x(), r.bottom() + 3, color));
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
};

void TestMetafileEmf::frameGivesSizeAndMapping_data() {
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QSize>("devicePx");
    QTest::addColumn<QSize>("deviceMm");
    QTest::addColumn<QRect>("drawn"); // logical = reference device pixels
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("expected"); // picture pixels
    QTest::newRow("two inches by one")
        << TwoByOneInch << QSize(1920, 1920) << QSize(508, 508) << QRect(20, 10, 40, 40)
        << QSize(192, 96) << QRect(20, 10, 40, 40);
    QTest::newRow("frame away from the origin")
        << QRect(2540, 2540, 5080, 2540) << QSize(1920, 1920) << QSize(508, 508)
        << QRect(116, 106, 40, 40) << QSize(192, 96) << QRect(20, 10, 40, 40);
    QTest::newRow("ten pixels a millimetre")
        << QRect(0, 0, 2540, 2540) << QSize(1000, 1000) << QSize(100, 100) << QRect(0, 0, 127, 127)
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
    QTest::newRow("scale two") << file([](mf::Emf& e) {
        e.add(35, floats({2, 0, 0, 2, 0, 0}));
    }) << QRect(10, 10, 40, 40);
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
    QTest::newRow("anisotropic") << file(
                                        [](mf::Emf& e) {
                                            e.add(17, {8}).add(9, {1000, 1000}).add(11, {96, 96});
                                        },
                                        QRect(QPoint(100, 100), QPoint(500, 500)))
                                 << QRect(10, 10, 38, 38);
    QTest::newRow("anisotropic, y flipped by the viewport")
        << file(
               [](mf::Emf& e) {
                   e.add(17, {8}).add(9, {1000, 1000}).add(11, {96, -96}).add(12, {0, 96});
               },
               QRect(QPoint(100, 100), QPoint(500, 500)))
        << QRect(10, 48, 38, 38);
    QTest::newRow("tenths of a millimetre, y up") << file(
                                                         [](mf::Emf& e) {
                                                             e.add(17, {2}).add(12, {0, 96});
                                                         },
                                                         QRect(QPoint(127, 254), QPoint(254, 127)))
                                                  << QRect(48, 0, 48, 48);
    QTest::newRow("twips with a window origin") << file(
                                                       [](mf::Emf& e) {
                                                           e.add(17, {6}).add(10, {-1440, 0});
                                                       },
                                                       QRect(QPoint(-1440, 0), QPoint(-720, -720)))
                                                << QRect(0, 0, 48, 48);
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
    for (int type : finish)
        e.add(type, QByteArray(16, '\0'));
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
    e.add(88, points16({{100, 10}, {176, 10}, {176, 50}})); // PolyBezierTo16
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
    for (QPoint p :
         QPolygon({{10, 10}, {90, 10}, {90, 90}, {10, 90}, {30, 30}, {70, 30}, {70, 70}, {30, 70}}))
        poly += mf::words({p.x(), p.y()});
    e.add(91, poly); // PolyPolygon16
    const QImage image = play(e);
    QVERIFY(mf::isColor(image, 20, 50, Red));
    QCOMPARE(mf::isColor(image, 50, 50, Red), holeFilled);
}

QTEST_MAIN(TestMetafileEmf)
#include "tst_metafile_emf.moc"
