// WMF files written record by record, played through decodePicture, checked
// by their pixels.
#include "formats/PictureLoader.h"
#include "support/Checks.h"
#include "tst_metafile_writer.h"

#include <QtEndian>
#include <QtTest>

using mf::colorWords;
using mf::words;
using W = mf::Wmf;
Q_DECLARE_METATYPE(W)

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255), Green(0, 255, 0);

// A red brush and a null pen selected: filled shapes show exactly their area.
mf::Wmf redFill() {
    mf::Wmf w;
    w.solidBrush(255, 0, 0).pen(5, 0, 0, 0, 0).select(0).select(1);
    return w;
}

QImage placeable(const mf::Wmf& w) {
    return decodePicture(w.placeable({0, 0, 200, 100}, 96));
}

} // namespace

class TestMetafileWmf : public QObject {
    Q_OBJECT
  private slots:
    void sizeAndMapping_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("expected"); // the red rectangle, in picture pixels
        auto with = [](const W& setup, QRect r) {
            return redFill().append(setup).rectangle(r.left(), r.top(), r.right() + 1,
                                                     r.bottom() + 1);
        };
        const QRect r(100, 100, 400, 400), twips(QPoint(1440, -1440), QPoint(2879, -2879));
        const W window = W().add(0x0103, {8}).add(0x020C, {1000, 1000});
        QTest::newRow("placeable, twips")
            << with(W(), {0, 0, 1440, 720}).placeable({0, 0, 1440, 720}, 1440) << QSize(96, 48)
            << QRect(0, 0, 96, 48);
        QTest::newRow("placeable box away from the origin")
            << with(W(), {100, 50, 200, 100}).placeable({100, 50, 200, 100}, 96) << QSize(200, 100)
            << QRect(0, 0, 200, 100);
        QTest::newRow("window of 1000 units") << with(window, r).placeable({0, 0, 100, 100}, 96)
                                              << QSize(100, 100) << QRect(10, 10, 40, 40);
        QTest::newRow("window origin moved")
            << with(W(window).add(0x020B, {100, 100}), r).placeable({0, 0, 100, 100}, 96)
            << QSize(100, 100) << QRect(0, 0, 40, 40);
        QTest::newRow("isotropic keeps the aspect")
            << with(W().add(0x0103, {7}).add(0x020C, {1000, 1000}), r)
                   .placeable({0, 0, 200, 100}, 96)
            << QSize(200, 100) << QRect(10, 10, 40, 40);
        QTest::newRow("plain: bounds of the drawing")
            << with(W(), {10, 10, 50, 30}).plain() << QSize(50, 30) << QRect(0, 0, 50, 30);
        QTest::newRow("plain, twips with y up")
            << with(W().add(0x0103, {6}), twips).plain() << QSize(96, 96) << QRect(0, 0, 96, 96);
    }

    void sizeAndMapping() {
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        QFETCH(QRect, expected);
        const QImage image = decodePicture(file);
        QVERIFY(qAbs(image.width() - size.width()) <= 1 &&
                qAbs(image.height() - size.height()) <= 1);
        QVERIFY(mf::isColor(image, expected.left() + 2, expected.top() + 2, Red));
        QVERIFY(mf::isColor(image, expected.right() - 2, expected.bottom() - 2, Red));
        QVERIFY(!mf::isColor(image, expected.right() + 3, expected.center().y(), Red));
        QVERIFY(!mf::isColor(image, expected.center().x(), expected.bottom() + 3, Red));
    }

    void saveAndRestoreDc_data() {
        QTest::addColumn<int>("which"); // RestoreDC's argument, 0 for none
        QTest::addColumn<QColor>("line");
        QTest::newRow("restore the previous state") << -1 << Red;
        QTest::newRow("restore level 1") << 1 << Red;
        QTest::newRow("no restore") << 0 << Blue;
        QTest::newRow("restore past the stack") << -5 << Blue;
    }

    void saveAndRestoreDc() {
        QFETCH(int, which);
        QFETCH(QColor, line);
        mf::Wmf w;
        w.pen(0, 5, 255, 0, 0).pen(0, 5, 0, 0, 255).select(0).add(0x001E, words({})).select(1);
        if (which) w.add(0x0127, {which});
        w.add(0x0214, {50, 10}).add(0x0213, {50, 190});
        QVERIFY(mf::isColor(placeable(w), 100, 50, line));
    }

    void records_data() {
        QTest::addColumn<W>("records"); // drawn after a red brush and a null pen
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QPoint>("outside");
        const QByteArray dib = mf::dib24(mf::quarters());
        // Boxes in WMF order: bottom, right, top, left.
        QTest::newRow("ellipse") << W().add(0x0418, {90, 180, 10, 20}) << QPoint(100, 50) << Red
                                 << QPoint(23, 13);
        QTest::newRow("pie, top right quarter")
            << W().add(0x081A, {10, 100, 50, 180, 90, 180, 10, 20}) << QPoint(130, 30) << Red
            << QPoint(70, 70);
        // Two nested squares drawn the same way round: the hole is filled only when winding.
        const QByteArray squares =
            words({2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70});
        QTest::newRow("poly-polygon, alternate")
            << W().add(0x0106, {1}).add(0x0538, squares) << QPoint(20, 50) << Red << QPoint(50, 50);
        QTest::newRow("poly-polygon, winding")
            << W().add(0x0106, {2}).add(0x0538, squares) << QPoint(50, 50) << Red << QPoint(95, 50);
        QTest::newRow("clip: intersect, then exclude a hole")
            << W().add(0x0416, {100, 150, 0, 50})
                   .add(0x0415, {60, 110, 40, 90})
                   .rectangle(0, 0, 200, 100)
            << QPoint(70, 20) << Red << QPoint(100, 50);
        QTest::newRow("StretchDIB")
            << W().add(0x0F43, words({0x20, 0xCC, 0, 20, 20, 0, 0, 80, 80, 10, 30}) + dib)
            << QPoint(89, 30) << Green << QPoint(27, 7);
        QTest::newRow("SetDIBitsToDevice")
            << W().add(0x0D33, words({0, 20, 0, 0, 0, 20, 20, 5, 150}) + dib) << QPoint(165, 20)
            << QColor(Qt::white) << QPoint(147, 2);
    }

    void records() {
        QFETCH(W, records);
        QFETCH(QPoint, inside);
        QFETCH(QColor, colour);
        QFETCH(QPoint, outside);
        const QImage image =
            decodePicture(redFill().append(records).placeable({0, 0, 200, 100}, 96));
        QVERIFY(mf::isColor(image, inside.x(), inside.y(), colour));
        QVERIFY(mf::isClear(image, outside.x(), outside.y()));
    }

    void text_data() {
        QTest::addColumn<W>("records");
        QTest::addColumn<QRect>("area"); // where the ink must stay
        // Reference point (100, 50), font 30 pixels high.
        QTest::newRow("left top, TextOut")
            << W().add(0x0521, words({4}) + QByteArray("HHHH") + words({50, 100}))
            << QRect(99, 49, 101, 51);
        QTest::newRow("centre bottom, ExtTextOut")
            << W().add(0x012E, {6 | 8}).add(0x0A32, words({50, 100, 4, 0}) + QByteArray("HHHH"))
            << QRect(40, 10, 120, 41);
    }

    void text() {
        QFETCH(W, records);
        QFETCH(QRect, area);
        QByteArray font = words({-30, 0, 0, 0, 700}) + QByteArray(8, '\0');
        font += QByteArray("Liberation Sans").leftJustified(32, '\0');
        mf::Wmf w;
        w.add(0x02FB, font).select(0).add(0x0209, colorWords(255, 0, 0)).add(0x0102, {1});
        w.append(records);
        const QImage image = placeable(w);
        const QRect ink = mf::inkBounds(image);
        QVERIFY(ink.width() > 40 && ink.height() > 15);
        QVERIFY(area.contains(ink));
        bool red = false;
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x)
                red = red || mf::isColor(image, x, y, Red);
        QVERIFY(red);
    }

    void objectTableReusesFreedSlots() {
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

    void sizeFieldCountingThePlaceableHeader_data() {
        QTest::addColumn<int>("extraWords");
        QTest::addColumn<bool>("shows");
        QTest::newRow("exact") << 0 << true;
        QTest::newRow("the 22-byte placeable header counted (Inkscape 1.x)") << 11 << true;
        QTest::newRow("more than that: cut off") << 12 << false;
    }

    void sizeFieldCountingThePlaceableHeader() {
        QFETCH(int, extraWords);
        QFETCH(bool, shows);
        QByteArray file = redFill().rectangle(0, 0, 200, 100).placeable({0, 0, 200, 100}, 96);
        const qsizetype sizeAt = 22 + 6; // in 16-bit words, after the placeable header
        const quint32 words = qFromLittleEndian<quint32>(file.constData() + sizeAt) + extraWords;
        qToLittleEndian(words, file.data() + sizeAt);
        QImage image;
        QCOMPARE(errorOf([&] { image = decodePicture(file); }), shows ? 0 : 481);
        QCOMPARE(!image.isNull(), shows);
        if (shows) QVERIFY(mf::isColor(image, 100, 50, Red));
    }
};

QTEST_MAIN(TestMetafileWmf)
#include "tst_metafile_wmf.moc"
