// EMF objects, bitmaps and text, written record by record, played
// through decodePicture, checked by their pixels. The reference device is 96
// dots per inch, so logical units in MM_TEXT are picture pixels.
#include "formats/PictureLoader.h"
#include "tst_metafile_writer.h"

#include <QtTest>

using mf::dwords;
using mf::rgb;

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255), Green(0, 255, 0);

QImage play(const mf::Emf& e) {
    return decodePicture(e.file({0, 0, 5080, 2540})); // 192 x 96 pixels
}

} // namespace

class TestMetafileEmfObjects : public QObject {
    Q_OBJECT
  private slots:
    void stockObjectsAndRestoredBrush() {
        mf::Emf e;
        e.select(mf::BlackBrush).select(mf::NullPen).rectangle(10, 10, 40, 40);
        e.add(33, QByteArray()).solidBrush(3, 0, 255, 0).select(3).rectangle(50, 10, 80, 40);
        e.add(34, {-1}).rectangle(90, 10, 120, 40);           // black again
        e.add(40, {3}).select(3).rectangle(130, 10, 160, 40); // deleted: still black
        e.select(mf::NullBrush).select(mf::BlackPen).rectangle(10, 50, 40, 80);
        const QImage image = play(e);
        QVERIFY(mf::isColor(image, 25, 25, Qt::black));
        QVERIFY(mf::isColor(image, 65, 25, Green));
        QVERIFY(mf::isColor(image, 105, 25, Qt::black));
        QVERIFY(mf::isColor(image, 145, 25, Qt::black));
        QVERIFY(mf::isClear(image, 25, 65));           // hollow
        QVERIFY(image.pixelColor(10, 65).alpha() > 0); // but outlined
    }

    void stretchDibits_data() {
        QTest::addColumn<bool>("topDown");
        QTest::addColumn<QRect>("source");
        QTest::addColumn<QColor>("topLeft");
        QTest::addColumn<QColor>("bottomRight");
        // Quarters: red, green on top; blue, white below. A bottom-up DIB's source
        // rectangle counts from the bottom.
        QTest::newRow("whole, bottom-up")
            << false << QRect(0, 0, 20, 20) << Red << QColor(Qt::white);
        QTest::newRow("lower left quarter, bottom-up")
            << false << QRect(0, 0, 10, 10) << Blue << Blue;
        QTest::newRow("upper right quarter, top-down")
            << true << QRect(10, 0, 10, 10) << Green << Green;
    }

    void stretchDibits() {
        QFETCH(bool, topDown);
        QFETCH(QRect, source);
        QFETCH(QColor, topLeft);
        QFETCH(QColor, bottomRight);
        const QImage quarters = mf::quarters();
        QByteArray dib = mf::dib24(topDown ? quarters.mirrored() : quarters);
        if (topDown) dib.replace(8, 4, dwords({-20}));
        const QByteArray info = dib.left(40), bits = dib.mid(40);
        const int fixed = 80; // the record's fixed part, its header included
        QByteArray record =
            dwords({0, 0, 0, 0, 50, 20, source.x(), source.y(), source.width(), source.height(),
                    fixed, 40, fixed + 40, bits.size(), 0, 0xCC0020, 80, 60});
        mf::Emf e;
        e.add(81, record + info + bits);
        const QImage image = play(e);
        QVERIFY(mf::isColor(image, 55, 25, topLeft));
        QVERIFY(mf::isColor(image, 125, 75, bottomRight));
        QVERIFY(mf::isClear(image, 45, 25));
    }

    void text_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("align");
        QTest::addColumn<QRect>("area");
        // Reference point (100, 50), font 30 pixels high, "HHHH".
        QTest::newRow("ExtTextOutW, right baseline") << 84 << (2 | 24) << QRect(0, 15, 101, 40);
        QTest::newRow("ExtTextOutA, centre top") << 83 << 6 << QRect(40, 49, 120, 47);
        QTest::newRow("SmallTextOut, left top") << 108 << 0 << QRect(99, 49, 93, 47);
    }

    void text() {
        QFETCH(int, type);
        QFETCH(int, align);
        QFETCH(QRect, area);
        QByteArray font = dwords({1, -30, 0, 0, 0, 400}) + QByteArray(8, '\0');
        for (QChar c : QStringLiteral("Liberation Sans").leftJustified(32, QChar(0)))
            mf::put16(font, c.unicode());
        mf::Emf e;
        e.add(82, font).select(1).add(24, {rgb(255, 0, 0)}).add(18, {1}).add(22, {align});
        if (type == 108) {
            e.add(108, dwords({100, 50, 4, 0x300, 1, 0, 0}) + QByteArray("HHHH"));
        } else {
            QByteArray text = type == 84 ? QByteArray("H\0H\0H\0H\0", 8) : QByteArray("HHHH");
            e.add(type, dwords({0, 0, 0, 0, 1, 0, 0, 100, 50, 4, 76, 0x100, 0, 0, 0, 0, 0}) + text);
        }
        const QRect ink = mf::inkBounds(play(e));
        QVERIFY2(ink.width() > 40 && ink.height() > 15, "the text draws something");
        QVERIFY(area.contains(ink));
    }
};

QTEST_MAIN(TestMetafileEmfObjects)
#include "tst_metafile_emf_objects.moc"
