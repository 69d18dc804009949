// EMF+ records written record by record in EMF comments, played through
// decodePicture and checked by their pixels. The frame is 192 x 96 pixels
// at 96 dots per inch and the EMF+ page unit is the pixel, so world units
// are picture pixels unless a row transforms them.
#include "formats/PictureDetail.h"
#include "formats/PictureLoader.h"
#include "system/PlatformError.h"
#include "tst_metafile_plus_writer.h"

#include <QtTest>

#include <functional>
#include <limits>

using mf::argb;
using mf::dwords;
using mf::floats;
using P = mf::Plus;

namespace {

const QRect Frame(0, 0, 5080, 2540);
const QColor Red(255, 0, 0), Blue(0, 0, 255), Green(0, 128, 0);
const qint64 OpaqueRed = argb(255, 255, 0, 0), OpaqueBlue = argb(255, 0, 0, 255);

QByteArray emfOf(const P& plus) {
    mf::Emf e;
    plus.into(e);
    return e.file(Frame);
}

struct Probe {
    QPoint at;
    QColor colour; // invalid: nothing drawn there
};

// How many times the row's colour starts anew along a line of pixels.
int runs(const QImage& image, int y, int from, int to, QColor colour) {
    int count = 0;
    bool inside = false;
    for (int x = from; x <= to; ++x) {
        const bool now = mf::isColor(image, x, y, colour);
        count += now && !inside;
        inside = now;
    }
    return count;
}

} // namespace

class TestMetafileEmfPlus : public QObject {
    Q_OBJECT
  private slots:
    void drawsWhatTheRecordsSay_data();
    void drawsWhatTheRecordsSay();
    void dashesShowGaps();
    void stringAlignsInItsBox_data();
    void stringAlignsInItsBox();
    void stringIsCutToItsBox_data();
    void stringIsCutToItsBox();
    void driverStringPlacesEachCharacter();
    void nestedMetafileInAZoomedView();
    void chartDrawsAllParts();
    void badInputDrawsWhatItCan_data();
    void badInputDrawsWhatItCan();
};

void TestMetafileEmfPlus::drawsWhatTheRecordsSay_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<Probe>>("probes");
    const QColor purple(128, 0, 127);
    QTest::newRow("translucent fill blends over another colour")
        << emfOf(P().header()
                     .fillRect(OpaqueBlue, {10, 10, 80, 60})
                     .fillRect(argb(128, 255, 0, 0), {50, 10, 80, 60}))
        << QList<Probe>{{{30, 30}, Blue}, {{70, 30}, purple}};

    P gradient;
    gradient.header().object(1, 1, mf::linearBrushData({20, 0, 100, 10}, OpaqueRed, OpaqueBlue));
    gradient.add(0x400A, 0, dwords({1, 1}) + mf::rectF({20, 20, 100, 40}));
    QTest::newRow("linear gradient has its end colours at its ends")
        << emfOf(gradient)
        << QList<Probe>{{{21, 40}, Red}, {{118, 40}, Blue}, {{70, 40}, QColor(127, 0, 128)}};

    // Round caps: a 6 unit pen reaches 3 beyond each end and 3 to each side.
    P pen;
    pen.header().object(2, 2, mf::penData(6, OpaqueRed, 0x02, dwords({2})));
    pen.drawLines(2, QPolygonF({{40, 50}, {140, 50}}));
    QTest::newRow("a 6 unit red pen with round caps")
        << emfOf(pen)
        << QList<Probe>{{{90, 48}, Red},      {{90, 51}, Red},      {{90, 55}, QColor()},
                        {{90, 44}, QColor()}, {{38, 50}, Red},      {{35, 50}, QColor()},
                        {{141, 50}, Red},     {{145, 50}, QColor()}};

    P nested; // a container scales by 2 around a translated world; the inner one adds 10
    nested.header().translate(20, 10).add(
        0x4027, 2, mf::rectF({0, 0, 40, 40}) + mf::rectF({0, 0, 20, 20}) + dwords({1}));
    nested.add(0x4028, 0, dwords({2})).translate(10, 0).fillRect(OpaqueRed, {0, 0, 10, 10});
    nested.add(0x4029, 0, dwords({2})).fillRect(OpaqueBlue, {0, 30, 10, 10});
    nested.add(0x4029, 0, dwords({1})).fillRect(argb(255, 0, 128, 0), {0, 0, 5, 5});
    QTest::newRow("nested containers and transforms place shapes")
        << emfOf(nested) << QList<Probe>{{{50, 20}, Red},  {{58, 28}, Red},   {{38, 20}, QColor()},
                                         {{30, 80}, Blue}, {{22, 12}, Green}, {{5, 5}, QColor()}};

    P clip;
    clip.header().add(0x4032, 0, mf::rectF({0, 0, 100, 96}));
    clip.add(0x4032, 4 << 8, mf::rectF({40, 40, 20, 20})).fillRect(OpaqueRed, {0, 0, 192, 96});
    clip.add(0x4031, 0).fillRect(OpaqueBlue, {150, 0, 20, 20});
    QTest::newRow("a clip cuts; exclusion makes a hole; reset ends it")
        << emfOf(clip)
        << QList<Probe>{
               {{20, 20}, Red}, {{50, 50}, QColor()}, {{120, 50}, QColor()}, {{160, 10}, Blue}};

    P everything; // Clear and an infinite region fill what the clip lets through
    everything.header()
        .add(0x4032, 0, mf::rectF({0, 0, 50, 96}))
        .add(0x4009, 0, dwords({argb(255, 0, 128, 0)}));
    everything.object(1, 4, dwords({mf::PlusVersion, 0, 0x10000003}));
    everything.add(0x4032, 0, mf::rectF({150, 0, 42, 96}))
        .add(0x4013, 0x8000 | 1, dwords({OpaqueRed}));
    QTest::newRow("Clear and an infinite region")
        << emfOf(everything)
        << QList<Probe>{{{25, 50}, Green}, {{100, 50}, QColor()}, {{170, 50}, Red}};

    P pages; // millimetres at half scale: 20 mm is 10 mm, about 38 pixels
    pages.header().add(0x4030, 6, floats({0.5f})).fillRect(OpaqueRed, {20, 20, 20, 20});
    QTest::newRow("page unit and scale")
        << emfOf(pages)
        << QList<Probe>{
               {{40, 40}, Red}, {{74, 74}, Red}, {{35, 40}, QColor()}, {{80, 60}, QColor()}};

    // A dual file: the GDI records after the EMF+ ones are their fallback.
    mf::Emf dual;
    P().header().fillRect(OpaqueRed, {10, 10, 80, 80}).into(dual);
    dual.solidBrush(1, 0, 0, 255).select(1).rectangle(10, 10, 90, 90);
    P().add(0x4004, 0).into(dual); // GetDC: the GDI records draw again
    dual.solidBrush(2, 0, 0, 255).select(2).select(mf::NullPen).rectangle(100, 10, 180, 50);
    P().fillEllipse(argb(255, 0, 128, 0), {100, 60, 30, 30}).into(dual);
    dual.rectangle(140, 60, 180, 90); // fallback again
    QTest::newRow("dual file: EMF+ draws, GDI only after GetDC")
        << dual.file(Frame)
        << QList<Probe>{
               {{50, 50}, Red}, {{140, 30}, Blue}, {{115, 75}, Green}, {{160, 75}, QColor()}};

    mf::Emf headerOnly; // EMF+ that draws nothing leaves the picture to the GDI records
    P().header().add(0x4002, 0).into(headerOnly);
    headerOnly.solidBrush(1, 0, 0, 255).select(1).select(mf::NullPen).rectangle(10, 10, 90, 90);
    QTest::newRow("an EMF+ header alone: GDI draws")
        << headerOnly.file(Frame) << QList<Probe>{{{50, 50}, Blue}};

    // A path object split over three records, the last not flagged as continued.
    const QByteArray path = mf::pathData(QPolygonF({{10, 10}, {90, 10}, {90, 90}, {10, 90}}),
                                         QByteArray("\x00\x01\x01\x81", 4));
    P pieces;
    pieces.header()
        .piece(5, 3, path.size(), path.left(20))
        .piece(5, 3, path.size(), path.mid(20, 20));
    pieces.object(5, 3, path.mid(40));
    pieces.add(0x4014, 0x8000 | 5, dwords({OpaqueRed}));
    QTest::newRow("continued object") << emfOf(pieces) << QList<Probe>{{{50, 50}, Red}};

    // Quarters: red and green on top, blue and white below.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    mf::quarters().save(&buffer, "PNG");
    P images;
    images.header().object(1, 5, mf::rawImageData(mf::quarters()));
    images.object(2, 5, mf::compressedImageData(png, {20, 20}));
    images.drawImage(1, {0, 0, 20, 20}, {10, 10, 40, 40})
        .drawImage(2, {10, 0, 10, 20}, {60, 10, 20, 40});
    // Three corners: the picture turned a quarter to the right.
    images.add(0x401B, 1,
               dwords({0, 2}) + mf::rectF({0, 0, 20, 20}) + dwords({3}) +
                   mf::pointsF(QPolygonF({{140, 10}, {140, 50}, {100, 10}})));
    QTest::newRow("raw and compressed bitmaps, source part, three corners")
        << emfOf(images) << QList<Probe>{{{15, 15}, Red},       {{45, 15}, QColor(0, 255, 0)},
                                         {{15, 45}, Blue},      {{65, 15}, QColor(0, 255, 0)},
                                         {{65, 45}, Qt::white}, {{135, 15}, Red},
                                         {{105, 15}, Blue},     {{135, 45}, QColor(0, 255, 0)}};

    P inner;
    inner.header().fillRect(OpaqueBlue, {0, 0, 192, 96});
    P outer;
    outer.header().object(3, 5, mf::metafileImageData(emfOf(inner)));
    outer.drawImage(3, {0, 0, 192, 96}, {100, 50, 80, 40});
    QTest::newRow("nested metafile")
        << emfOf(outer) << QList<Probe>{{{140, 70}, Blue}, {{90, 70}, QColor()}};
}

void TestMetafileEmfPlus::drawsWhatTheRecordsSay() {
    QFETCH(QByteArray, file);
    QFETCH(QList<Probe>, probes);
    const QImage image = decodePicture(file);
    QCOMPARE(image.size(), QSize(192, 96));
    for (const Probe& probe : probes) {
        const QPoint at = probe.at;
        if (probe.colour.isValid())
            QVERIFY2(mf::isColor(image, at.x(), at.y(), probe.colour),
                     qPrintable(QString("(%1,%2) is %3")
                                    .arg(at.x())
                                    .arg(at.y())
                                    .arg(image.pixelColor(at).name(QColor::HexArgb))));
        else
            QVERIFY2(mf::isClear(image, at.x(), at.y()),
                     qPrintable(QString("(%1,%2) drawn").arg(at.x()).arg(at.y())));
    }
}

void TestMetafileEmfPlus::dashesShowGaps() {
    // Dashes of 3 and gaps of 1 pen width, a 4 unit pen: 16 units a period.
    P plus;
    plus.header().object(1, 2, mf::penData(4, OpaqueRed, 0x20, dwords({1})));
    plus.drawLines(1, QPolygonF({{10, 50}, {170, 50}}));
    const QImage image = decodePicture(emfOf(plus));
    QVERIFY(runs(image, 50, 5, 175, Red) >= 9);
    QVERIFY(mf::isColor(image, 15, 50, Red));
}

void TestMetafileEmfPlus::stringAlignsInItsBox_data() {
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("lineAlign");
    QTest::newRow("near, top") << 0 << 0;
    QTest::newRow("centre, centre") << 1 << 1;
    QTest::newRow("far, bottom") << 2 << 2;
}

void TestMetafileEmfPlus::stringAlignsInItsBox() {
    QFETCH(int, align);
    QFETCH(int, lineAlign);
    const QRect box(20, 10, 150, 76);
    P plus;
    plus.header().object(1, 6, mf::fontData(16, 2, "DejaVu Sans"));
    plus.object(2, 7, mf::formatData(0, align, lineAlign));
    plus.drawString(1, 2, argb(255, 0, 0, 0), box, "Ab Cd");
    const QRect ink = mf::inkBounds(decodePicture(emfOf(plus)));
    QVERIFY(box.contains(ink));
    QVERIFY(ink.width() > 20 && ink.width() < 100);
    auto place = [](int mode, int start, int end, int lo, int hi) {
        return mode == 0   ? start - lo
               : mode == 2 ? hi - end
                           : std::abs((start + end) - (lo + hi)) / 2;
    };
    QVERIFY2(place(align, ink.left(), ink.right(), box.left(), box.right()) < 6,
             qPrintable(QString("ink %1..%2").arg(ink.left()).arg(ink.right())));
    QVERIFY2(place(lineAlign, ink.top(), ink.bottom(), box.top(), box.bottom()) < 8,
             qPrintable(QString("ink %1..%2").arg(ink.top()).arg(ink.bottom())));
}

// Unless the format says otherwise, a string is cut to its box.
void TestMetafileEmfPlus::stringIsCutToItsBox_data() {
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("cut");
    QTest::newRow("no wrap") << 0x1000 << true;
    QTest::newRow("no wrap, no clip") << (0x1000 | 0x4000) << false;
}

void TestMetafileEmfPlus::stringIsCutToItsBox() {
    QFETCH(int, flags);
    QFETCH(bool, cut);
    const QRect box(20, 20, 40, 30);
    P plus;
    plus.header().object(1, 6, mf::fontData(16, 2, "DejaVu Sans"));
    plus.object(2, 7, mf::formatData(flags, 0, 0));
    plus.drawString(1, 2, argb(255, 0, 0, 0), box, "a string far wider than its box");
    const QRect ink = mf::inkBounds(decodePicture(emfOf(plus)));
    QVERIFY(ink.left() >= 20 && ink.top() >= 20);
    QCOMPARE(ink.right() < 60, cut);
}

// Characters each at the position the record gives.
void TestMetafileEmfPlus::driverStringPlacesEachCharacter() {
    P plus;
    plus.header().object(1, 6, mf::fontData(20, 2, "DejaVu Sans"));
    plus.add(0x4036, 0x8000 | 1,
             dwords({argb(255, 0, 0, 0), 1, 0, 2}) + mf::words({'H', 'I'}) +
                 mf::pointsF(QPolygonF({{20, 40}, {150, 80}})));
    const QImage image = decodePicture(emfOf(plus));
    QVERIFY(!mf::inkBounds(image.copy(15, 20, 20, 22)).isEmpty());
    QVERIFY(!mf::inkBounds(image.copy(145, 60, 20, 22)).isEmpty());
    QVERIFY(mf::inkBounds(image.copy(40, 0, 100, 96)).isEmpty());
}

// A zoomed view draws the part it shows; a metafile nested in the picture
// is drawn whole into its place, not zoomed and cut again.
void TestMetafileEmfPlus::nestedMetafileInAZoomedView() {
    P inner; // 96 x 48 pixels: red left, blue right
    inner.header().fillRect(OpaqueRed, {0, 0, 48, 48}).fillRect(OpaqueBlue, {48, 0, 48, 48});
    mf::Emf innerFile;
    inner.into(innerFile);
    P outer;
    outer.header().object(3, 5, mf::metafileImageData(innerFile.file({0, 0, 2540, 1270})));
    outer.drawImage(3, {0, 0, 96, 48}, {100, 50, 80, 40});
    QTemporaryDir dir;
    QFile file(dir.filePath("zoomed.emf"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(emfOf(outer)) > 0);
    file.close();
    // At twice the size the nested picture lies at (200, 100) to (360, 180).
    const PictureDetail detail =
        loadPictureDetail(file.fileName(), 2, {180, 80, 200, 120}, 1 << 24);
    QCOMPARE(detail.own, QSize(192, 96));
    const QPoint origin = detail.covers.topLeft();
    QVERIFY(mf::isColor(detail.image, 240 - origin.x(), 140 - origin.y(), Red));
    QVERIFY(mf::isColor(detail.image, 320 - origin.x(), 140 - origin.y(), Blue));
}

// An EMF+ only chart as office programs write them: no GDI drawing at all.
void TestMetafileEmfPlus::chartDrawsAllParts() {
    P chart;
    chart.header(false).add(0x4030, 2, floats({1}));
    chart.object(1, 2, mf::penData(2, argb(255, 0, 0, 0)));
    chart.object(2, 2, mf::penData(3, OpaqueBlue, 0x08, dwords({2})));
    chart.object(3, 6, mf::fontData(12, 2, "DejaVu Sans"));
    chart.drawLines(1, QPolygonF({{20, 10}, {20, 80}, {140, 80}}));           // axes
    chart.drawLines(2, QPolygonF({{30, 70}, {60, 40}, {90, 55}, {120, 20}})); // a series
    for (QPointF p : {QPointF(30, 70), QPointF(60, 40), QPointF(90, 55), QPointF(120, 20)})
        chart.fillEllipse(OpaqueRed, QRectF(p - QPointF(3, 3), QSizeF(6, 6))); // markers
    chart.fillRect(OpaqueBlue, {150, 40, 8, 8});                               // legend key
    chart.drawString(3, 0, argb(255, 0, 0, 0), {160, 36, 30, 16}, "S1");
    chart.drawString(3, 0, argb(255, 0, 0, 0), {30, 82, 100, 14}, "Title");
    chart.add(0x4002, 0);
    mf::Emf e;
    chart.into(e);
    const QImage image = decodePicture(e.file(Frame));
    QVERIFY(mf::isColor(image, 20, 50, Qt::black));
    QVERIFY(mf::isColor(image, 45, 55, Blue) || mf::isColor(image, 45, 54, Blue));
    QVERIFY(mf::isColor(image, 119, 20, Red));
    QVERIFY(mf::isColor(image, 154, 44, Blue));
    QVERIFY(!mf::inkBounds(image.copy(160, 36, 30, 16)).isEmpty());
    QVERIFY(!mf::inkBounds(image.copy(30, 82, 100, 14)).isEmpty());
}

// Whatever the records say, the picture draws the rest in bounded time:
// the red square written last shows, and the lying records draw nothing.
void TestMetafileEmfPlus::badInputDrawsWhatItCan_data() {
    QTest::addColumn<QByteArray>("records");
    const QByteArray square = mf::pathData(QPolygonF({{0, 0}, {90, 0}, {90, 90}, {0, 90}}),
                                           QByteArray("\x00\x01\x01\x81", 4));
    auto lie = [](const std::function<void(P&)>& write) {
        P p;
        p.header();
        write(p);
        return p.comment();
    };
    QTest::newRow("object id 64 and more") << lie([&](P& p) {
        p.object(64, 3, square)
            .object(200, 3, square)
            .add(0x4014, 0x8000 | 64, dwords({OpaqueBlue}));
    });
    QTest::newRow("continued object that never ends") << lie([&](P& p) {
        for (int k = 0; k < 200; ++k)
            p.piece(1, 3, 100000000, square);
        p.add(0x4014, 0x8000 | 1, dwords({OpaqueBlue}));
    });
    QTest::newRow("continued object claiming 4 GB")
        << lie([&](P& p) { p.piece(1, 3, 0xffffffff, square).object(1, 3, square); });
    QTest::newRow("2^31 points") << lie([&](P& p) {
        p.add(0x400C, 0x8000, dwords({OpaqueBlue, 0x80000000, 0, 0, 50, 50}));
        p.add(0x400D, 0x4000, dwords({0xffffffff, 0, 0}));
        p.add(0x4019, 0x0800, dwords({0x7fffffff, 0}));
        p.object(1, 3, dwords({mf::PlusVersion, 0x80000000, 0x0800, 0, 0}));
        p.object(2, 5, dwords({mf::PlusVersion, 1, 65536, 65536, 262144, 0x00022009, 0}));
        p.add(0x400A, 0x8000, dwords({OpaqueBlue, 0x40000000}) + mf::rectF({0, 0, 90, 90}));
    });
    QTest::newRow("transforms and clips that are not numbers") << lie([&](P& p) {
        p.add(0x402D, 0, floats({std::numeric_limits<float>::quiet_NaN(), 0}));
        p.add(0x4032, 4 << 8, mf::rectF({0, 0, 10, 10}));
        p.add(0x4032, 4 << 8, mf::rectF({std::numeric_limits<float>::infinity(), 0, 10, 10}));
        p.add(0x4032, 3 << 8, floats({std::numeric_limits<float>::quiet_NaN(), 0, 10, 10}));
        p.add(0x4027, 2, floats({0, 0, 1, 1, 0, 0, 0, 0}) + dwords({1}));
        p.fillRect(OpaqueBlue, {20, 20, 10, 10}).add(0x4029, 0, dwords({1}));
        p.object(1, 4,
                 dwords({mf::PlusVersion, 2, 1, 0x10000000}) +
                     floats({0, std::numeric_limits<float>::quiet_NaN(), 10, 10}) +
                     dwords({0x10000000}) + mf::rectF({0, 0, 90, 90}));
        p.add(0x4013, 0x8000 | 1, dwords({OpaqueBlue}));
    });
    QTest::newRow("empty path and region") << lie([&](P& p) {
        p.object(1, 3, dwords({mf::PlusVersion, 0, 0}))
            .add(0x4014, 0x8000 | 1, dwords({OpaqueBlue}));
        p.add(0x4015, 1, dwords({1})).object(2, 4, dwords({mf::PlusVersion, 0, 0x10000002}));
        p.add(0x4013, 0x8000 | 2, dwords({OpaqueBlue}));
    });
    QTest::newRow("region nested deeper than any writer does") << lie([&](P& p) {
        QByteArray region = dwords({mf::PlusVersion, 100000});
        for (int k = 0; k < 100000; ++k)
            region += dwords({1});
        p.object(1, 4, region).add(0x4013, 0x8000 | 1, dwords({OpaqueBlue}));
    });
    QTest::newRow("records longer than their comment")
        << lie([&](P& p) {
               p.add(0x400A, 0x8000, dwords({OpaqueBlue, 1}) + mf::rectF({0, 0, 90, 90}));
           }).replace(8 + 28 + 4, 4, dwords({0x7ffffff0}));
    // A metafile image within a metafile image, eight deep, each drawn twice:
    // beyond three levels nothing is drawn.
    QByteArray nested = emfOf(P().header().fillRect(OpaqueBlue, {0, 0, 192, 96}));
    for (int depth = 0; depth < 8; ++depth) {
        P level;
        level.header().object(1, 5, mf::metafileImageData(nested));
        level.drawImage(1, {0, 0, 192, 96}, {0, 0, 96, 96})
            .drawImage(1, {0, 0, 192, 96}, {96, 0, 96, 96});
        nested = emfOf(level);
    }
    P many;
    many.header().object(1, 5, mf::metafileImageData(nested));
    for (int k = 0; k < 1000; ++k)
        many.drawImage(1, {0, 0, 192, 96}, {0, 0, 90, 90});
    QTest::newRow("metafile images nested deep and drawn often") << many.comment();
}

void TestMetafileEmfPlus::badInputDrawsWhatItCan() {
    QFETCH(QByteArray, records);
    mf::Emf e;
    e.add(70, records);
    P().header().fillRect(OpaqueRed, {100, 0, 90, 90}).into(e);
    QElapsedTimer timer;
    timer.start();
    const QImage image = decodePicture(e.file(Frame));
    QVERIFY(timer.elapsed() < 20000);
    QVERIFY(mf::isColor(image, 150, 50, Red));
    QVERIFY(mf::isClear(image, 50, 50));
}

QTEST_MAIN(TestMetafileEmfPlus)
#include "tst_metafile_emfplus.moc"
