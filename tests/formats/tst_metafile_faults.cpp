// Faults found playing metafiles that office programs and drawing tools
// wrote, one row each, rebuilt record by record and checked by their pixels.
#include "formats/PictureLoader.h"
#include "tst_metafile_writer.h"

#include <QtTest>

using mf::dwords;
using mf::rgb;
using mf::words;

namespace {

const QColor Red(255, 0, 0), Blue(0, 0, 255), Green(0, 255, 0);
const QRect Frame(0, 0, 5080, 2540); // 192 x 96 pixels

struct Probe {
    QPoint at;
    QColor colour; // invalid: nothing drawn there
};

QByteArray emfFont(int index, int height, const QString& face, int charset = 0) {
    QByteArray b = dwords({index, height, 0, 0, 0, 400}) + QByteArray(3, '\0') +
                   QByteArray(1, char(charset)) + QByteArray(4, '\0');
    for (QChar c : face.leftJustified(32, QChar(0)))
        mf::put16(b, c.unicode());
    return b;
}

// EMR_EXTTEXTOUTW at (x, y) with its advances after the text.
QByteArray textOutW(int x, int y, const QString& text, quint32 options,
                    const QList<int>& advances = {}) {
    QByteArray chars;
    for (QChar c : text)
        mf::put16(chars, c.unicode());
    chars += QByteArray(-chars.size() & 3, '\0');
    const qint64 dxAt = advances.isEmpty() ? 0 : 76 + chars.size();
    QByteArray b = dwords({0, 0, 0, 0, 1, 0, 0, x, y, text.size(), 76, options, 0, 0, 0, 0, dxAt});
    b += chars;
    for (int a : advances)
        b += dwords({a});
    return b;
}

} // namespace

class TestMetafileFaults : public QObject {
    Q_OBJECT
  private slots:
    void drawnAsMeant_data();
    void drawnAsMeant();
    void symbolFontShowsItsCharacters_data();
    void symbolFontShowsItsCharacters();
    void perGlyphVerticalAdvances();
    void opaqueHatchShowsBackground();
    void monochromePatternBrush();
    void fontHeightInAnisotropicMapping();
    void fontOfTheLeastWidth();
};

void TestMetafileFaults::drawnAsMeant_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<Probe>>("probes");

    // Palette entries 0 red, 1 green, 2 blue; colours given as PALETTEINDEX(n).
    const qint64 index1 = 0x01000001, index2 = 0x01000002;
    mf::Emf palette;
    palette.add(49, dwords({1, 0x300 | 3 << 16, rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)}));
    palette.add(48, {1}).add(52).add(39, {2, 0, index2, 0}).select(2).select(mf::NullPen);
    palette.rectangle(10, 10, 60, 60).add(38, {3, 0, 6, 0, index1}).select(3);
    palette.add(27, {70, 30}).add(54, {150, 30});
    QTest::newRow("EMF palette indices")
        << palette.file(Frame) << QList<Probe>{{{35, 35}, Blue}, {{110, 30}, Green}};

    mf::Wmf wmfPalette;
    wmfPalette.add(0x00F7, words({0x300, 2}) + dwords({rgb(255, 0, 0), rgb(0, 0, 255)}));
    wmfPalette.add(0x0234, {0}).add(0x0035, QByteArray());
    wmfPalette.add(0x02FC, words({0, 1, 0x0100, 0})).select(1).add(0x02FA, {5, 0, 0, 0, 0});
    wmfPalette.select(2).rectangle(10, 10, 60, 60);
    QTest::newRow("WMF palette index")
        << wmfPalette.placeable({0, 0, 200, 100}, 96) << QList<Probe>{{{35, 35}, Blue}};

    // A monochrome device-dependent bitmap, 16 x 2: left half 0 bits, right half 1.
    const QByteArray mono =
        words({0, 16, 2, 2}) + QByteArray("\x01\x01", 2) + QByteArray("\x00\xff\x00\xff", 4);
    mf::Wmf ddb;
    ddb.add(0x0209, mf::colorWords(255, 0, 0)).add(0x0201, mf::colorWords(0, 0, 255));
    ddb.add(0x0922, words({0x20, 0xCC, 0, 0, 2, 16, 10, 10}) + mono);
    ddb.add(0x0B23, words({0x20, 0xCC, 2, 16, 0, 0, 40, 160, 50, 20}) + mono);
    QTest::newRow("WMF BitBlt and StretchBlt of a device-dependent bitmap")
        << ddb.placeable({0, 0, 200, 100}, 96)
        << QList<Probe>{{{12, 10}, Red}, {{22, 11}, Blue}, {{40, 70}, Red}, {{150, 70}, Blue}};

    mf::Emf inverted;
    inverted.solidBrush(1, 255, 0, 0).select(1).select(mf::NullPen).rectangle(20, 20, 60, 60);
    QByteArray upsideDown = inverted.file(Frame);
    upsideDown.replace(24, 16, dwords({0, 2540, 5080, 0})); // bottom above top
    QTest::newRow("EMF frame with its corners swapped")
        << upsideDown << QList<Probe>{{{40, 40}, Red}, {{80, 80}, QColor()}};
}

void TestMetafileFaults::drawnAsMeant() {
    QFETCH(QByteArray, file);
    QFETCH(QList<Probe>, probes);
    const QImage image = decodePicture(file);
    for (const Probe& probe : probes) {
        const QPoint at = probe.at;
        const QString where = QString("(%1,%2) is %3")
                                  .arg(at.x())
                                  .arg(at.y())
                                  .arg(image.pixelColor(at).name(QColor::HexArgb));
        QVERIFY2(probe.colour.isValid() ? mf::isColor(image, at.x(), at.y(), probe.colour)
                                        : mf::isClear(image, at.x(), at.y()),
                 qPrintable(where));
    }
}

void TestMetafileFaults::symbolFontShowsItsCharacters_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("meant");
    QTest::newRow("Greek") << "abpS" << QString::fromUtf16(u"αβπΣ");
    QTest::newRow("brackets") << QString::fromUtf16(u"\u00e9\u00ea\u00f9\u00fa")
                              << QString::fromUtf16(u"⎡⎢⎤⎥");
    QTest::newRow("codes from U+F000")
        << QString::fromUtf16(u"\uf061\uf0b3") << QString::fromUtf16(u"α≥");
}

void TestMetafileFaults::symbolFontShowsItsCharacters() {
    QFETCH(QString, written);
    QFETCH(QString, meant);
    auto play = [](const QString& face, const QString& text) {
        mf::Emf e;
        e.add(82, emfFont(1, -30, face, face == "Symbol" ? 2 : 0)).select(1);
        e.add(84, textOutW(10, 20, text, 0x100));
        return decodePicture(e.file(Frame));
    };
    const QImage symbol = play("Symbol", written), unicode = play("Symbol", meant);
    QVERIFY(!mf::inkBounds(unicode).isEmpty());
    QCOMPARE(mf::inkBounds(symbol), mf::inkBounds(unicode));
}

void TestMetafileFaults::opaqueHatchShowsBackground() {
    mf::Emf e; // blue horizontal lines on green, then the same left transparent
    e.add(25, {rgb(0, 255, 0)}).add(18, {2}).add(39, {1, 2, rgb(0, 0, 255), 0});
    e.select(1).select(mf::NullPen).rectangle(10, 10, 90, 90);
    e.add(18, {1}).rectangle(100, 10, 180, 90);
    const QImage image = decodePicture(e.file(Frame));
    auto count = [&](int x, QColor colour) {
        int n = 0;
        for (int y = 12; y < 88; ++y)
            n += mf::isColor(image, x, y, colour);
        return n;
    };
    QVERIFY(count(50, Blue) >= 8 && count(50, Green) >= 40);
    QVERIFY(count(140, Blue) >= 8 && count(140, Green) == 0);
}

// Office writes pattern fills as monochrome brushes (EMR_CREATEMONOBRUSH)
// that take the text and background colours; they were drawn grey.
void TestMetafileFaults::monochromePatternBrush() {
    QByteArray info = dwords({40, 8, 8}) + words({1, 1}) + dwords({0, 32, 0, 0, 2, 0});
    info += dwords({0, 0xffffff});
    QByteArray bits;
    for (int row = 0; row < 8; ++row)
        bits += dwords({0xF0}); // left half 1 bits, right half 0 bits
    mf::Emf e;
    e.add(24, {rgb(255, 0, 0)}).add(25, {rgb(0, 0, 255)});
    e.add(93, dwords({1, 2, 32, info.size(), 32 + info.size(), bits.size()}) + info + bits);
    e.select(1).select(mf::NullPen).rectangle(8, 8, 88, 88);
    const QImage image = decodePicture(e.file(Frame));
    int red = 0, blue = 0;
    for (int x = 10; x < 86; ++x) {
        red += mf::isColor(image, x, 40, Red);
        blue += mf::isColor(image, x, 40, Blue);
    }
    QVERIFY2(red > 30 && blue > 30, qPrintable(QString("%1 red, %2 blue").arg(red).arg(blue)));
}

// ETO_PDY: each character's advance has a vertical part after the horizontal.
void TestMetafileFaults::perGlyphVerticalAdvances() {
    mf::Emf e;
    e.add(82, emfFont(1, -20, "DejaVu Sans")).select(1).add(22, {24}); // baseline
    e.add(84, textOutW(20, 30, "HH", 0x100 | 0x2000, {30, 40, 30, 0}));
    const QRect ink = mf::inkBounds(decodePicture(e.file(Frame)));
    // Both letters stand on their baselines, 30 and 70: one above the other.
    QVERIFY2(ink.top() < 20 && ink.bottom() > 60 && ink.bottom() < 72,
             qPrintable(QString("ink %1..%2").arg(ink.top()).arg(ink.bottom())));
}

// Window 3000 x 1000 on a 192 x 96 picture: a unit is 0.064 pixels across
// and 0.096 down. A font 500 units high is 48 pixels: an H about 35.
void TestMetafileFaults::fontHeightInAnisotropicMapping() {
    mf::Emf e;
    e.add(17, {8}).add(9, {3000, 1000}).add(11, {192, 96}).add(18, {1});
    e.add(82, emfFont(1, -500, "DejaVu Sans")).select(1).add(22, {24});
    e.add(84, textOutW(100, 800, "H", 0x100));
    const QRect ink = mf::inkBounds(decodePicture(e.file(Frame)));
    QVERIFY2(ink.height() > 30 && ink.height() < 40, qPrintable(QString::number(ink.height())));
}

// Found by fuzzing: a font width of -2^31 has no positive counterpart.
void TestMetafileFaults::fontOfTheLeastWidth() {
    mf::Emf e;
    QByteArray font = emfFont(1, -20, "DejaVu Sans");
    font.replace(8, 4, dwords({-2147483648LL}));
    e.add(82, font).select(1).add(84, textOutW(20, 30, "H", 0x100));
    QVERIFY(!decodePicture(e.file(Frame)).isNull());
}

QTEST_MAIN(TestMetafileFaults)
#include "tst_metafile_faults.moc"
