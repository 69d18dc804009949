// Pictures larger than any screen, of 108 megapixels (12000 x 9000): each
// shows whole, fitted, and zoomed to 100 % its visible part alone is decoded;
// either needs no more memory than the picture decoded and one band of the
// file, measured in a process of its own.
#include "support/TempTree.h"
#include "support/TiffFixtures.h"
#include "tst_picture_files.h"

#include <QProcess>
#include <QtTest>

namespace {

const QSize Large(12000, 9000), Limit(1200, 900);
const QColor Left(255, 0, 0), Right(0, 0, 255);

// An 8-bit bitmap of two palette colours, written a band at a time.
bool writeBitmap(const QString& path, QSize size) {
    QByteArray head("BM");
    const qint64 stride = (size.width() + 3) / 4 * 4, bits = 14 + 40 + 8;
    pic::put32(head, bits + stride * size.height()), pic::put32(head, 0), pic::put32(head, bits);
    head += mf::dwords({40, size.width(), size.height()});
    pic::put16(head, 1), pic::put16(head, 8);
    head += mf::dwords({0, 0, 2835, 2835, 2, 0});
    head += mf::dwords({0xff0000, 0x0000ff}); // red, blue
    QByteArray row = QByteArray(size.width() / 2, '\0') + QByteArray(size.width() / 2, '\1');
    row = row.leftJustified(stride, '\0');
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size()) return false;
    const QByteArray band = row.repeated(100);
    for (int y = 0; y < size.height(); y += 100)
        if (file.write(band) != band.size()) return false;
    return true;
}

QImage halves(QSize size, QImage::Format format) {
    QImage image(size, format);
    image.fill(Right);
    for (int y = 0; y < size.height(); ++y)
        std::memset(image.scanLine(y), 0, size_t(image.bytesPerLine() / 2));
    return image;
}

} // namespace

class TestPictureLarge : public QObject {
    Q_OBJECT
  private slots:
    void showsFittedInBoundedMemory_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("zoomed"); // the middle part, at 100 %
        for (const bool zoomed : {false, true}) {
            const char* at = zoomed ? ", zoomed to 100 %" : "";
            QTest::addRow("jpeg%s", at) << "jpg" << zoomed;
            QTest::addRow("tiff, deflate strips%s", at) << "tif" << zoomed;
            QTest::addRow("bmp, 8-bit%s", at) << "bmp" << zoomed;
        }
    }

    void showsFittedInBoundedMemory() {
        QFETCH(QString, kind);
        QFETCH(bool, zoomed);
        TempTree tree;
        const QString small = tree.file("small." + kind), big = tree.file("big." + kind);
        if (kind == "jpg") { // grey halves: dark left, light right
            QVERIFY(halves({64, 48}, QImage::Format_Grayscale8).save(small, "JPEG"));
            QImage grey(Large, QImage::Format_Grayscale8);
            for (int y = 0; y < Large.height(); ++y) {
                std::memset(grey.scanLine(y), 40, size_t(Large.width() / 2));
                std::memset(grey.scanLine(y) + Large.width() / 2, 220, size_t(Large.width() / 2));
            }
            QVERIFY(grey.save(big, "JPEG", 50));
        } else if (kind == "tif") {
            QVERIFY(TiffFixtures::writeLarge(small, {64, 48}, {255, 0, 0}, {0, 0, 255}));
            QVERIFY(TiffFixtures::writeLarge(big, Large, {255, 0, 0}, {0, 0, 255}));
        } else {
            QVERIFY(writeBitmap(small, {64, 48}));
            QVERIFY(writeBitmap(big, Large));
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Memory the sanitizer holds back after a free would count as ours.
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":quarantine_size_mb=0");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationDirPath() + "/formats_helper_loadpicture",
                    {small, big, QString::number(Limit.width()), QString::number(Limit.height()),
                     zoomed ? "zoomed" : ""});
        QVERIFY(child.waitForFinished(120000));
        const QStringList said = QString::fromLatin1(child.readAllStandardOutput()).split(' ');
        QVERIFY2(said.size() == 5, qPrintable(said.join(' ')));
        QCOMPARE(QSize(said[0].toInt(), said[1].toInt()), Limit);
        const QColor left = kind == "jpg" ? QColor(40, 40, 40) : Left;
        const QColor right = kind == "jpg" ? QColor(220, 220, 220) : Right;
        const auto near = [](const QString& got, QColor want) {
            const QColor c(got);
            return qAbs(c.red() - want.red()) <= 3 && qAbs(c.green() - want.green()) <= 3 &&
                   qAbs(c.blue() - want.blue()) <= 3;
        };
        QVERIFY2(near(said[2], left), qPrintable(said[2]));
        QVERIFY2(near(said[3], right), qPrintable(said[3]));
        // The fitted picture or the part in view (4.2 MB), one band (4 MB at
        // most) and the decoder's own buffers; the whole picture would take
        // 412 MB, the most the zoom decodes whole 191 MB.
        const long fittedKb = long(Limit.width()) * Limit.height() * 4 / 1024;
        const long growthKb = said[4].trimmed().toLong();
        QVERIFY2(
            growthKb < fittedKb + 20 * 1024,
            qPrintable(QString("grew by %1 KB for a %2 KB picture").arg(growthKb).arg(fittedKb)));
    }
};

QTEST_MAIN(TestPictureLarge)
#include "tst_picture_large.moc"
