// WMF files written record by record, played through decodePicture, checked
// by their pixels.
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

QByteArray polygonParams(const QPolygon& points) {
    QByteArray b = words({int(points.size())});
    for (QPoint p : points)
        b += words({p.x(), p.y()});
    return b;
}

} // namespace

class TestMetafileWmf : public QObject {
    Q_OBJECT
  private slots:
    void placeableHeaderGivesSize_data();
    void placeableHeaderGivesSize();
    void mappingPlacesRectangle_data();
    void mappingPlacesRectangle();
    void plainMetafileGetsBoundsOfDrawing_data();
    void plainMetafileGetsBoundsOfDrawing();
    void saveAndRestoreDc_data();
    void saveAndRestoreDc();
    void fillModes_data();
    void fillModes();
    void shapes_data();
    void shapes();
    void lineCrossesWhereItShould();
    void clipRectangles();
};

void TestMetafileWmf::placeableHeaderGivesSize_data() {
    QTest::addColumn<QRect>("box");
    QTest::addColumn<int>("inch");
    QTest::addColumn<QSize>("size");
    QTest::newRow("twips") << QRect(0, 0, 1440, 720) << 1440 << QSize(96, 48);
    QTest::newRow("pixels, box not at the origin")
        << QRect(100, 50, 200, 100) << 96 << QSize(200, 100);
    QTest::newRow("thousandths") << QRect(0, 0, 1000, 2500) << 1000 << QSize(96, 240);
}

void TestMetafileWmf::placeableHeaderGivesSize() {
    QFETCH(QRect, box);
    QFETCH(int, inch);
    QFETCH(QSize, size);
    mf::Wmf w = redFill();
    w.rectangle(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
    const QImage image = placeable(w, box, inch);
    QCOMPARE(image.size(), size);
    // The box fills the picture.
    QVERIFY(mf::isColor(image, 1, 1, Red));
    QVERIFY(mf::isColor(image, size.width() - 2, size.height() - 2, Red));
}

void TestMetafileWmf::mappingPlacesRectangle_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QRect>("expected"); // in picture pixels
    auto with = [](auto setup) {
        mf::Wmf w = redFill();
        setup(w);
        w.rectangle(100, 100, 500, 500);
        return w;
    };
    QTest::newRow("window of 1000 units")
        << with([](mf::Wmf& w) {
               w.add(0x0103, {8}).add(0x020B, {0, 0}).add(0x020C, {1000, 1000});
           }).placeable({0, 0, 100, 100}, 96)
        << QRect(10, 10, 40, 40);
    QTest::newRow("window origin moved")
        << with([](mf::Wmf& w) {
               w.add(0x0103, {8}).add(0x020B, {100, 100}).add(0x020C, {1000, 1000});
           }).placeable({0, 0, 100, 100}, 96)
        << QRect(0, 0, 40, 40);
    QTest::newRow("no window: the bounding box")
        << with([](mf::Wmf&) {}).placeable({0, 0, 1000, 1000}, 960) << QRect(10, 10, 40, 40);
    QTest::newRow("isotropic keeps the aspect") << with([](mf::Wmf& w) {
                                                       w.add(0x0103, {7}).add(0x020C, {1000, 1000});
                                                   }).placeable({0, 0, 200, 100}, 96)
                                                << QRect(10, 10, 40, 40);
    QTest::newRow("scaled window extent")
        << with([](mf::Wmf& w) {
               w.add(0x0103, {8}).add(0x020C, {500, 500}).add(0x0410, {1, 2, 1, 2});
           }).placeable({0, 0, 100, 100}, 96)
        << QRect(10, 10, 40, 40);
}

void TestMetafileWmf::mappingPlacesRectangle() {
    QFETCH(QByteArray, file);
    QFETCH(QRect, expected);
    const QImage image = decodePicture(file);
    QVERIFY(mf::isColor(image, expected.center().x(), expected.center().y(), Red));
    QVERIFY(mf::isColor(image, expected.left() + 2, expected.top() + 2, Red));
    QVERIFY(mf::isColor(image, expected.right() - 2, expected.bottom() - 2, Red));
    QVERIFY(!mf::isColor(image, expected.right() + 3, expected.center().y(), Red));
    QVERIFY(!mf::isColor(image, expected.center().x(), expected.bottom() + 3, Red));
}

void TestMetafileWmf::plainMetafileGetsBoundsOfDrawing_data() {
    QTest::addColumn<int>("mapMode");
    QTest::addColumn<QRect>("logical");
    QTest::addColumn<QSize>("size");
    QTest::newRow("pixels") << 1 << QRect(QPoint(10, 10), QPoint(59, 39)) << QSize(50, 30);
    QTest::newRow("twips, y up") << 6 << QRect(QPoint(1440, -1440), QPoint(2879, -2879))
                                 << QSize(96, 96);
    QTest::newRow("tenths of a millimetre")
        << 2 << QRect(QPoint(0, 0), QPoint(507, -253)) << QSize(192, 96);
}

void TestMetafileWmf::plainMetafileGetsBoundsOfDrawing() {
    QFETCH(int, mapMode);
    QFETCH(QRect, logical);
    QFETCH(QSize, size);
    mf::Wmf w = redFill();
    w.add(0x0103, {mapMode});
    w.rectangle(logical.left(), logical.top(), logical.right() + 1, logical.bottom() + 1);
    const QImage image = decodePicture(w.plain());
    QVERIFY(qAbs(image.width() - size.width()) <= 1);
    QVERIFY(qAbs(image.height() - size.height()) <= 1);
    QVERIFY(mf::isColor(image, image.width() / 2, image.height() / 2, Red));
    QVERIFY(mf::isColor(image, 1, 1, Red));
}

void TestMetafileWmf::saveAndRestoreDc_data() {
    QTest::addColumn<bool>("restore");
    QTest::addColumn<int>("which"); // RestoreDC's argument
    QTest::addColumn<QColor>("line");
    QTest::newRow("restore the previous state") << true << -1 << Red;
    QTest::newRow("restore level 1") << true << 1 << Red;
    QTest::newRow("no restore") << false << 0 << Blue;
    QTest::newRow("restore past the stack") << true << -5 << Blue;
}

void TestMetafileWmf::saveAndRestoreDc() {
    QFETCH(bool, restore);
    QFETCH(int, which);
    QFETCH(QColor, line);
    mf::Wmf w;
    w.pen(0, 5, 255, 0, 0).pen(0, 5, 0, 0, 255).select(0).add(0x001E, words({})).select(1);
    if (restore) w.add(0x0127, {which});
    w.add(0x0214, {50, 10}).add(0x0213, {50, 190});
    const QImage image = placeable(w);
    QVERIFY(mf::isColor(image, 100, 50, line));
}

void TestMetafileWmf::fillModes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("centreFilled");
    QTest::newRow("alternate") << 1 << false;
    QTest::newRow("winding") << 2 << true;
}

void TestMetafileWmf::fillModes() {
    QFETCH(int, mode);
    QFETCH(bool, centreFilled);
    QPolygon star;
    for (int k = 0; k < 5; ++k) {
        const double a = (-90 + 144 * k) * M_PI / 180;
        star << QPoint(100 + int(45 * std::cos(a)), 50 + int(45 * std::sin(a)));
    }
    mf::Wmf w = redFill();
    w.add(0x0106, {mode}).add(0x0324, polygonParams(star));
    const QImage image = placeable(w);
    QCOMPARE(mf::isColor(image, 100, 52, Red), centreFilled);
    QVERIFY(mf::isColor(image, 100, 12, Red)); // a point of the star
}

void TestMetafileWmf::shapes_data() {
    QTest::addColumn<int>("function");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");
    // Box (20,10)-(180,90) in WMF order: bottom, right, top, left.
    QTest::newRow("ellipse") << 0x0418 << words({90, 180, 10, 20}) << QPoint(100, 50)
                             << QPoint(23, 13);
    QTest::newRow("rounded rectangle")
        << 0x061C << words({40, 40, 90, 180, 10, 20}) << QPoint(100, 12) << QPoint(21, 11);
    QTest::newRow("pie, top right quarter") << 0x081A << words({10, 100, 50, 180, 90, 180, 10, 20})
                                            << QPoint(130, 30) << QPoint(70, 70);
    QTest::newRow("chord, top half") << 0x0830 << words({50, 20, 50, 180, 90, 180, 10, 20})
                                     << QPoint(100, 30) << QPoint(100, 70);
    QTest::newRow("two squares") << 0x0538
                                 << words({2, 4, 4, 20, 10, 60, 10, 60, 50, 20, 50, 120, 10, 160,
                                           10, 160, 50, 120, 50})
                                 << QPoint(140, 30) << QPoint(90, 30);
}

void TestMetafileWmf::shapes() {
    QFETCH(int, function);
    QFETCH(QByteArray, params);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    mf::Wmf w = redFill();
    w.add(function, params);
    const QImage image = placeable(w);
    QVERIFY(mf::isColor(image, inside.x(), inside.y(), Red));
    QVERIFY(mf::isClear(image, outside.x(), outside.y()));
}

void TestMetafileWmf::lineCrossesWhereItShould() {
    mf::Wmf w;
    w.pen(0, 3, 0, 0, 255).select(0);
    w.add(0x0214, {10, 10}).add(0x0213, {90, 190});                // diagonal
    w.add(0x0325, polygonParams(QPolygon({{10, 90}, {190, 10}}))); // the other one
    const QImage image = placeable(w);
    QVERIFY(mf::isColor(image, 100, 50, Blue)); // where they cross
    QVERIFY(mf::isColor(image, 55, 30, Blue));  // on the first
    QVERIFY(mf::isClear(image, 100, 20));
    QVERIFY(mf::isClear(image, 100, 80));
}

void TestMetafileWmf::clipRectangles() {
    mf::Wmf w = redFill();
    w.add(0x0416, {100, 150, 0, 50}); // intersect: keep x 50..150
    w.add(0x0415, {60, 110, 40, 90}); // exclude a hole at 90..110, 40..60
    w.rectangle(0, 0, 200, 100);
    const QImage image = placeable(w);
    QVERIFY(mf::isColor(image, 70, 20, Red));
    QVERIFY(mf::isClear(image, 20, 20));
    QVERIFY(mf::isClear(image, 170, 20));
    QVERIFY(mf::isClear(image, 100, 50));
}

QTEST_MAIN(TestMetafileWmf)
#include "tst_metafile_wmf.moc"
