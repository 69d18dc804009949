// The nine picture types of the file filter, each selected in the real main
// window: the picture area shows it at its own size. With
// QUILLORY_SCREENSHOTS=<folder> the window is saved once per type.
#include "platform/DirListBox.h"
#include "platform/FileListBox.h"
#include "platform/PictureBox.h"
#include "shell/TheViewer.h"
#include "support/TempTree.h"
#include "tst_picture_files.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QtTest>

namespace {

// A small scene: sky, sun and a red roof, so a screenshot shows the type worked.
QImage scene() {
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(QColor(120, 180, 255));
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 0));
    p.drawEllipse(80, 8, 28, 28);
    p.setBrush(QColor(40, 160, 40));
    p.drawRect(0, 60, 120, 20);
    p.setBrush(Qt::red);
    p.drawPolygon(QPolygon({{20, 40}, {50, 15}, {80, 40}}));
    p.setBrush(Qt::white);
    p.drawRect(28, 40, 44, 24);
    return image;
}

QByteArray sceneWmf() {
    mf::Wmf w;
    w.solidBrush(120, 180, 255).pen(5, 0, 0, 0, 0).select(0).select(1).rectangle(0, 0, 120, 80);
    w.solidBrush(255, 220, 0).select(2).add(0x0418, {36, 108, 8, 80});
    w.solidBrush(255, 0, 0).select(3).add(0x0324, mf::words({3, 20, 40, 50, 15, 80, 40}));
    w.pen(0, 2, 0, 0, 0).select(4).solidBrush(255, 255, 255).select(5).rectangle(28, 40, 72, 64);
    QByteArray font = mf::words({-14, 0, 0, 0, 700}) + QByteArray(8, '\0') +
                      QByteArray("Liberation Sans").leftJustified(32, '\0');
    w.add(0x02FB, font)
        .select(6)
        .add(0x0102, {1})
        .add(0x0521, mf::words({3}) + QByteArray("WMF\0", 4) + mf::words({62, 4}));
    return w.placeable({0, 0, 120, 80}, 96);
}

QByteArray sceneEmf() {
    mf::Emf e;
    e.solidBrush(1, 120, 180, 255).select(1).select(mf::NullPen).rectangle(0, 0, 120, 80);
    e.solidBrush(2, 255, 220, 0).select(2).add(42, {80, 8, 108, 36});
    e.solidBrush(3, 255, 0, 0).select(3);
    e.add(59, QByteArray()).add(27, {20, 40}).add(54, {50, 15}).add(54, {80, 40});
    e.add(61, QByteArray()).add(60, QByteArray()).add(62, QByteArray(16, '\0'));
    e.pen(4, 0, 2, 0, 0, 0).select(4).select(0x80000000).rectangle(28, 40, 72, 64);
    QByteArray font = mf::dwords({5, -14, 0, 0, 0, 700}) + QByteArray(8, '\0');
    QByteArray face;
    for (QChar c : QStringLiteral("Liberation Sans"))
        mf::put16(face, c.unicode());
    e.add(82, font + face.leftJustified(64, '\0')).select(5).add(18, {1});
    e.add(84, mf::dwords({0, 0, 0, 0, 1, 0, 0, 4, 62, 3, 76, 0x100, 0, 0, 0, 0, 0}) +
                  QByteArray("E\0M\0F\0", 6));
    return e.file({0, 0, 3175, 2117}); // 120 x 80 pixels
}

} // namespace

class TestPictureViewer : public QObject {
    Q_OBJECT
  private slots:
    void everyOfferedTypeShows_data();
    void everyOfferedTypeShows();
};

void TestPictureViewer::everyOfferedTypeShows_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    const QImage image = scene();
    QTest::newRow("tif") << "scene.tif" << pic::saved(image, "tif") << image.size();
    QTest::newRow("bmp") << "scene.bmp" << pic::saved(image, "bmp") << image.size();
    QTest::newRow("gif") << "scene.gif" << pic::gif({120, 80}, {2, 0}) << image.size();
    QTest::newRow("jpg") << "scene.jpg" << pic::saved(image, "jpg", 90) << image.size();
    QTest::newRow("dib") << "scene.dib" << pic::saved(image, "bmp") << image.size();
    QTest::newRow("wmf") << "scene.wmf" << sceneWmf() << image.size();
    QTest::newRow("emf") << "scene.emf" << sceneEmf() << image.size();
    QTest::newRow("ico") << "scene.ico"
                         << pic::iconFile({{16, 32, Qt::red}, {48, 32, Qt::darkGreen}})
                         << QSize(48, 48);
    QTest::newRow("cur") << "scene.cur" << pic::iconFile({{32, 8, Qt::blue}}, true)
                         << QSize(32, 32);
}

void TestPictureViewer::everyOfferedTypeShows() {
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    TempTree tree;
    tree.write(name, bytes);
    TheViewer viewer;
    viewer.File1->setPattern("*.tif;*.bmp;*.gif;*.jpg;*.dib;*.wmf;*.emf;*.ico;*.cur");
    viewer.Dir1->setPath(tree.path());
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    QCOMPARE(viewer.File1->ListCount(), 1);
    viewer.File1->selectIndex(0);
    QVERIFY(viewer.Picture1->isVisible());
    QCOMPARE(viewer.Picture1->size(), size);
    const QImage shown = viewer.Picture1->grab().toImage();
    QVERIFY(shown.pixelColor(size.width() / 2, size.height() / 2) !=
            viewer.palette().window().color());
    const QString folder = qEnvironmentVariable("QUILLORY_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QVERIFY(viewer.grab().save(folder + "/viewer-" + QTest::currentDataTag() + ".png"));
    }
}

QTEST_MAIN(TestPictureViewer)
#include "tst_picture_viewer.moc"
