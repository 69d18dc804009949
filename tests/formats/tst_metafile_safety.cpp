// Damaged and hostile metafiles: whatever the bytes say, decoding ends with a
// picture or error 481, reads nothing outside the file (the test build runs
// with AddressSanitizer) and skips the records that lie.
#include "formats/PictureLoader.h"
#include "system/PlatformError.h"
#include "tst_metafile_writer.h"

#include <QtTest>

#include <atomic>
#include <limits>

using mf::dwords;
using mf::floats;
using mf::rgb;
using mf::words;

namespace {

const QColor Red(255, 0, 0);

// A picture (or 481); any other outcome fails the calling test.
bool decodesOrFails(const QByteArray& bytes) {
    try {
        return !decodePicture(bytes).isNull();
    } catch (const PlatformError& e) {
        if (e.number() != Err::InvalidPicture) throw;
        return false;
    }
}

QByteArray richWmf() {
    mf::Wmf w;
    w.solidBrush(255, 0, 0).pen(1, 2, 0, 0, 255).select(0).select(1).rectangle(10, 10, 90, 90);
    w.add(0x0324, words({3, 10, 10, 50, 90, 90, 10})).add(0x0418, {90, 190, 10, 110});
    w.add(0x0521, words({2}) + QByteArray("ok") + words({50, 50}));
    w.add(0x0F43, words({0x20, 0xCC, 0, 2, 2, 0, 0, 20, 20, 60, 60}) +
                      mf::dib24(QImage(2, 2, QImage::Format_RGB32)));
    return w.placeable({0, 0, 200, 100}, 96);
}

QByteArray richEmf() {
    mf::Emf e;
    e.solidBrush(1, 255, 0, 0).select(1).rectangle(10, 10, 90, 90);
    e.add(86, dwords({0, 0, 0, 0, 3}) + words({10, 10, 50, 90, 90, 10}));
    e.add(59).add(42, {110, 10, 190, 90}).add(60).add(62, QByteArray(16, '\0'));
    e.add(84, dwords({0, 0, 0, 0, 1, 0, 0, 10, 10, 2, 76, 0x100, 0, 0, 0, 0, 0}) +
                  QByteArray("o\0k\0", 4));
    return e.file({0, 0, 5080, 2540});
}

} // namespace

class TestMetafileSafety : public QObject {
    Q_OBJECT
  private slots:
    void damagedFilesFail_data();
    void damagedFilesFail();
    void everyCutAndEveryByteIsSafe_data();
    void everyCutAndEveryByteIsSafe();
    void lyingRecordsAreSkipped_data();
    void lyingRecordsAreSkipped();
    void deepSaveStackAndFullObjectTable();
    void workBudgetEndsPlaying_data();
    void workBudgetEndsPlaying();
};

// Filling the picture again and again costs time without end; once the
// picture's budget is spent, playing stops and what is drawn shows. Playing
// also stops once the caller asks it to. Shapes
// that reach far beyond the picture, or whose edges crowd every line, cost
// the rasteriser far more than the pixels they cover: they are drawn cut to
// the picture, or without antialiasing, and the last shape still shows.
void TestMetafileSafety::workBudgetEndsPlaying_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("stopAsked");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QColor>("colour"); // invalid: nothing drawn
    auto fills = [](int count) {
        mf::Wmf w;
        w.solidBrush(255, 0, 0).solidBrush(0, 0, 255).select(0);
        for (int i = 0; i < count; ++i)
            w.rectangle(0, 0, 100, 100);
        w.select(1).rectangle(0, 0, 100, 100);
        return w.placeable({0, 0, 100, 100}, 96);
    };
    // A geometric pen of 2^32 - 3 units dashed 6 and 3, on a picture 27343
    // pixels tall: each stroke once took a second.
    mf::Emf wide;
    wide.add(95, dwords({1, 0, 0, 0, 0, 0x12207, 0xfffffffd, 0, rgb(0, 0, 255), 0, 2, 6, 3}));
    wide.select(1).add(2, dwords({0, 0, 0, 0, 4, 20, 10, 70, 10, 45, 50, 30, 10}));
    wide.add(
        8, dwords({0, 0, 0, 0, 2, 6, 3, 3, 100, 10, 150, 10, 120, 60, 110, 20, 140, 20, 120, 50}));
    wide.solidBrush(2, 255, 0, 0).select(2).select(0x80000008).rectangle(0, 0, 192, 192);
    // Two hundred dashes 100 pixels wide crossing each other on every line.
    mf::Emf dashes;
    QByteArray zigzag = dwords({0, 0, 0, 0, 400});
    for (int i = 0; i < 400; ++i)
        zigzag += dwords({i % 2 ? 0 : 300, i % 4 < 2 ? 300 : 0});
    dashes.pen(1, 0x10001, 100, 0, 0, 255).select(1).add(4, zigzag);
    dashes.solidBrush(2, 255, 0, 0).select(2).select(0x80000008).rectangle(100, 100, 200, 200);
    const QPoint centre(50, 50);
    QTest::newRow("300 fills: drawn to the end")
        << fills(300) << false << centre << QColor(0, 0, 255);
    QTest::newRow("1000 fills: stopped") << fills(1000) << false << centre << Red;
    QTest::newRow("300 fills, stop asked: not played") << fills(300) << true << centre << QColor();
    QTest::newRow("pen wider than a tall picture: drawn to the end")
        << wide.file({0, 0, 5080, 723436}) << false << centre << Red;
    QTest::newRow("pen wider than a tall picture: its stroke")
        << wide.file({0, 0, 5080, 723436}) << false << QPoint(100, 10000) << QColor(0, 0, 255);
    QTest::newRow("crowded wide dashes: drawn to the end")
        << dashes.file({0, 0, 7938, 7938}) << false << QPoint(150, 150) << Red;
}
void TestMetafileSafety::workBudgetEndsPlaying() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, stopAsked);
    QFETCH(QPoint, at);
    QFETCH(QColor, colour);
    const std::atomic<bool> stop = stopAsked;
    const QImage picture = decodePicture(bytes, {}, &stop);
    QVERIFY(colour.isValid() ? mf::isColor(picture, at.x(), at.y(), colour)
                             : mf::isClear(picture, at.x(), at.y()));
}

void TestMetafileSafety::damagedFilesFail_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray wmf = richWmf(), emf = richEmf();
    mf::Wmf red;
    red.solidBrush(255, 0, 0).select(0).rectangle(0, 0, 10, 10);
    auto patched = [](QByteArray b, int at, qint64 value) {
        return b.replace(at, 4, dwords({value}));
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("placeable header alone") << wmf.left(22);
    QTest::newRow("WMF record longer than the file") << patched(red.plain(), 18, 1000);
    QTest::newRow("WMF record without length") << patched(red.plain(), 18, 0);
    QTest::newRow("WMF header claims more than the file") << patched(red.plain(), 6, 5000);
    QTest::newRow("WMF picture too large") << red.placeable({0, 0, 32000, 32000}, 1);
    QTest::newRow("plain WMF drawing nothing") << mf::Wmf().plain();
    QTest::newRow("EMF header larger than the file") << patched(emf, 4, 100000);
    QTest::newRow("EMF record smaller than its header") << patched(emf, 88 + 4, 4);
    QTest::newRow("EMF record past the end") << patched(emf, 88 + 4, 0x7ffffff0);
    QTest::newRow("EMF claims more bytes than it has") << patched(emf, 48, emf.size() + 4);
    QTest::newRow("EMF frame too large")
        << mf::Emf().rectangle(0, 0, 5, 5).file({0, 0, 2000000000, 2000000000});
    QTest::newRow("EMF without frame drawing nothing") << mf::Emf().file(QRect());
}

void TestMetafileSafety::damagedFilesFail() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!decodesOrFails(bytes));
}

void TestMetafileSafety::everyCutAndEveryByteIsSafe_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("WMF") << richWmf();
    QTest::newRow("EMF") << richEmf();
}

void TestMetafileSafety::everyCutAndEveryByteIsSafe() {
    QFETCH(QByteArray, bytes);
    QVERIFY(decodesOrFails(bytes));
    for (qsizetype cut = 0; cut < bytes.size(); ++cut)
        decodesOrFails(bytes.left(cut));
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        for (char value : {'\x00', '\x7f', '\xff'}) {
            QByteArray changed = bytes;
            changed[at] = value;
            decodesOrFails(changed);
        }
    }
}

void TestMetafileSafety::lyingRecordsAreSkipped_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray hugeDib = dwords({40, 100000, 100000}) + words({1, 24}) + QByteArray(24, '\0');
    mf::Wmf w;
    w.solidBrush(255, 0, 0);
    w.add(0x012D, {60000}).add(0x01F0, {60000}).add(0x0127, {-30000}).add(0x0127, {30000});
    w.add(0x0538, words({30000, 5, 5})); // counts beyond the record
    w.add(0x0F43, words({0x20, 0xCC, 0, 1, 1, 0, 0, 50, 50, 0, 0}) + hugeDib);
    w.add(0x0F43, words({0x20, 0xCC, 0, 1, 1, 0, 0, 50, 50, 0, 0}) + dwords({7, 1, 1}));
    w.add(0x0A32, words({0, 0, 60000, 6, 0, 0, 0, 0})); // text beyond the record
    w.add(0x02FB, words({-20}));                        // a font cut short: takes slot 1
    w.add(0x020C, {0, 0}).add(0x0103, {99}).add(0x0410, {0, 0, 0, 0});
    w.select(0).add(0x02FC, words({0}) + mf::colorWords(0, 0, 255) + words({0}));
    w.select(1); // the broken font, not a brush
    w.rectangle(10, 10, 50, 50);
    QTest::newRow("WMF") << w.placeable({0, 0, 100, 100}, 96);

    mf::Emf e;
    e.solidBrush(1, 255, 0, 0).select(1);
    e.select(0x0fffffff).add(40, {0x0fffffff}).solidBrush(0x0fffffff, 0, 0, 255);
    e.add(95, dwords({2, 0, 0, 0, 0, 0x10007, 3, 0, 0, 0, 0xffffffff})); // endless dash styles
    e.add(8, dwords({0, 0, 0, 0, 0x7fffffff, 3, 1, 1}));                 // polygons beyond
    e.add(81, dwords({0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0xfffffff0, 40, 0xfffffff0, 40, 0, 0xCC0020, 50,
                      50})); // offsets beyond
    e.add(81,
          dwords({0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 80, 40, 120, 0, 0, 0xCC0020, 50, 50}) + hugeDib);
    e.add(35, floats({std::numeric_limits<float>::infinity(), 0, 0, 1, 0, 0}));
    e.add(35, floats({std::numeric_limits<float>::quiet_NaN(), 0, 0, 1, 0, 0}));
    e.add(75, dwords({48, 5, 32, 1, 0x40000000, 16, 0, 0, 1, 1})); // region counts beyond
    e.add(84, dwords({0, 0, 0, 0, 1, 0, 0, 0, 0, 0x7fffffff, 76, 0x100, 0, 0, 0, 0, 0}));
    e.add(82, dwords({3, 1000000000, 0, 0, 0, 400}) + QByteArray(72, '\0')).select(3);
    e.add(84,
          dwords({0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 76, 0x100, 0, 0, 0, 0, 0}) + QByteArray("x\0", 2));
    e.add(31, {1, 0, 1, 0}).add(32, {0, 0, 0, 0}).add(17, {99}).add(9, {0, 0});
    e.add(34, {-1000}).add(34, {0x7fffffff});
    e.rectangle(10, 10, 50, 50);
    QTest::newRow("EMF") << e.file({0, 0, 2646, 2646});
}

void TestMetafileSafety::lyingRecordsAreSkipped() {
    QFETCH(QByteArray, bytes);
    const QImage image = decodePicture(bytes);
    QCOMPARE(image.size(), QSize(100, 100));
    QVERIFY(mf::isColor(image, 30, 30, Red));
}

void TestMetafileSafety::deepSaveStackAndFullObjectTable() {
    mf::Emf e;
    e.solidBrush(65534, 255, 0, 0).select(65534);
    for (int i = 0; i < 10000; ++i)
        e.add(33, QByteArray());
    e.solidBrush(2, 0, 0, 255).select(2).add(34, {1}); // back to the first level: red
    e.solidBrush(65535, 0, 255, 0).select(65535);      // beyond the table: ignored
    e.rectangle(10, 10, 50, 50);
    const QImage image = decodePicture(e.file({0, 0, 2646, 2646}, 65535));
    QVERIFY(mf::isColor(image, 30, 30, Red));
}

QTEST_MAIN(TestMetafileSafety)
#include "tst_metafile_safety.moc"
