// EMF files written record by record, played through decodePicture, checked
// by their pixels. The reference device is 96 dots per inch unless a row says
// otherwise, so logical units in MM_TEXT are picture pixels.
#include "formats/PictureLoader.h"
#include "tst_metafile_writer.h"

#include <QtTest>

using mf::dwords;
using mf::floats;
using E = mf::Emf;

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255);
const QRect TwoByOneInch(0, 0, 5080, 2540); // 192 x 96 pixels

// A red brush and the null pen: filled shapes show exactly their area.
mf::Emf redFill() {
    mf::Emf e;
    e.solidBrush(1, 255, 0, 0).select(1).select(mf::NullPen);
    return e;
}

void checkRect(const QImage& image, QRect r, QColor color) {
    QVERIFY(mf::isColor(image, r.left() + 2, r.top() + 2, color));
    QVERIFY(mf::isColor(image, r.right() - 2, r.bottom() - 2, color));
    QVERIFY(!mf::isColor(image, r.left() - 3, r.center().y(), color));
    QVERIFY(!mf::isColor(image, r.center().x(), r.bottom() + 3, color));
}

} // namespace

class TestMetafileEmf : public QObject {
    Q_OBJECT
  private slots:
    void frameGivesSize_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected"); // the red rectangle, in picture pixels
        auto red = [](int l, int t, int r, int b) { return redFill().rectangle(l, t, r, b); };
        QTest::newRow("frame away from the origin")
            << red(116, 106, 156, 146).file({2540, 2540, 5080, 2540}) << QSize(192, 96)
            << QRect(20, 10, 40, 40);
        QTest::newRow("reference device of ten pixels a millimetre")
            << red(0, 0, 127, 127).file({0, 0, 2540, 2540}, 16, {1000, 1000}, {100, 100})
            << QSize(96, 96) << QRect(0, 0, 48, 48);
        QTest::newRow("no frame: bounds of the drawing")
            << red(30, 40, 100, 90).file(QRect()) << QSize(70, 50) << QRect(0, 0, 70, 50);
    }

    void frameGivesSize() {
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        QFETCH(QRect, expected);
        const QImage image = decodePicture(file);
        QCOMPARE(image.size(), size);
        checkRect(image, expected, Red);
    }

    void transformsAndMappingModes_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QRect>("expected");
        auto file = [](const E& setup, QRect r = QRect(QPoint(5, 5), QPoint(25, 25))) {
            return redFill()
                .append(setup)
                .rectangle(r.left(), r.top(), r.right(), r.bottom())
                .file(TwoByOneInch);
        };
        const E twice = E().add(35, floats({2, 0, 0, 2, 0, 0}));
        const QByteArray moveRight = floats({1, 0, 0, 1, 10, 0});
        QTest::newRow("left multiply: translate first")
            << file(E(twice).add(36, moveRight + dwords({2}))) << QRect(30, 10, 40, 40);
        QTest::newRow("right multiply: translate last")
            << file(E(twice).add(36, moveRight + dwords({3}))) << QRect(20, 10, 40, 40);
        QTest::newRow("restored by RestoreDC")
            << file(E().add(33).add(35, floats({4, 0, 0, 4, 0, 0})).add(34, {-1}).append(twice))
            << QRect(10, 10, 40, 40);
        QTest::newRow("anisotropic, y flipped by the viewport")
            << file(E().add(17, {8}).add(9, {1000, 1000}).add(11, {96, -96}).add(12, {0, 96}),
                    QRect(QPoint(100, 100), QPoint(500, 500)))
            << QRect(10, 48, 38, 38);
        QTest::newRow("tenths of a millimetre, y up")
            << file(E().add(17, {2}).add(12, {0, 96}), QRect(QPoint(127, 254), QPoint(254, 127)))
            << QRect(48, 0, 48, 48);
        QTest::newRow("twips with a window origin")
            << file(E().add(17, {6}).add(10, {-1440, 0}),
                    QRect(QPoint(-1440, 0), QPoint(-720, -720)))
            << QRect(0, 0, 48, 48);
    }

    void transformsAndMappingModes() {
        QFETCH(QByteArray, file);
        QFETCH(QRect, expected);
        checkRect(decodePicture(file), expected, Red);
    }

    void paths_data() {
        QTest::addColumn<QList<int>>("finish"); // records after the path's figures
        QTest::addColumn<bool>("filled");
        QTest::addColumn<bool>("outlined");
        QTest::newRow("fill") << QList<int>{60, 62} << true << false;
        QTest::newRow("stroke") << QList<int>{60, 64} << false << true;
        QTest::newRow("stroke and fill") << QList<int>{60, 63} << true << true;
        QTest::newRow("aborted") << QList<int>{60, 68, 62} << false << false;
    }

    void paths() {
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
        const QImage image = decodePicture(e.file(TwoByOneInch));
        QCOMPARE(mf::isColor(image, 60, 40, Red), filled);
        QCOMPARE(mf::isColor(image, 150, 40, Red), filled);
        QCOMPARE(mf::isColor(image, 60, 20, Blue), outlined);
        QCOMPARE(mf::isColor(image, 150, 20, Blue), outlined);
        if (!filled && !outlined) QVERIFY(mf::inkBounds(image).isEmpty());
    }
};

QTEST_MAIN(TestMetafileEmf)
#include "tst_metafile_emf.moc"
