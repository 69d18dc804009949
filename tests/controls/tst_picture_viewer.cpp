// Pictures selected in the real main window: the picture area shows them at
// their own size, or fitted into the window when larger. With
// QUILLORY_SCREENSHOTS=<folder> the window is saved once per row.
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/PictureBox.h"
#include "formats/tst_picture_files.h"
#include "shell/TheViewer.h"
#include "support/TempTree.h"

#include <QDir>
#include <QtTest>

class TestPictureViewer : public QObject {
    Q_OBJECT
  private slots:
    void pictureShowsAtItsSize_data();
    void pictureShowsAtItsSize();
    void pictureRefitsWithTheWindow();
    void animatedGifPlaysUntilAnotherFile();
};

namespace {
struct Shown {
    TempTree tree;
    TheViewer viewer;
    explicit Shown(const QList<QPair<QString, QByteArray>>& files) {
        for (const auto& [name, bytes] : files)
            tree.write(name, bytes);
        viewer.File1->setPattern("*.tif;*.bmp;*.gif;*.jpg;*.dib;*.wmf;*.emf;*.ico;*.cur");
        viewer.Dir1->setPath(tree.path());
        viewer.show();
    }
};
bool near(QSize a, QSize b) {
    return qAbs(a.width() - b.width()) <= 1 && qAbs(a.height() - b.height()) <= 1;
}
} // namespace

void TestPictureViewer::pictureShowsAtItsSize_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::red);
    mf::Wmf wmf;
    wmf.solidBrush(0, 0, 255).select(0).rectangle(0, 0, 120, 80);
    mf::Emf emf;
    emf.solidBrush(1, 0, 160, 0).select(1).rectangle(0, 0, 120, 80);
    QTest::newRow("jpg") << "scene.jpg" << pic::saved(image, "jpg", 90) << image.size();
    QTest::newRow("wmf") << "scene.wmf" << wmf.placeable({0, 0, 120, 80}, 96) << image.size();
    QTest::newRow("emf") << "scene.emf" << emf.file({0, 0, 3175, 2117}) << image.size();
    QTest::newRow("ico") << "scene.ico"
                         << pic::iconFile({{16, 32, Qt::red}, {48, 32, Qt::darkGreen}})
                         << QSize(48, 48);
    // Larger than the 353 x 393 pixels right of and below the corner at the
    // design size: fitted, the aspect kept.
    QImage photo(1200, 900, QImage::Format_RGB32);
    photo.fill(Qt::darkYellow);
    mf::Wmf plan;
    plan.solidBrush(0, 0, 255).select(0).rectangle(0, 0, 960, 480);
    QTest::newRow("large jpg") << "photo.jpg" << pic::saved(photo, "jpg", 90) << QSize(353, 265);
    QTest::newRow("large wmf") << "plan.wmf" << plan.placeable({0, 0, 960, 480}, 96)
                               << QSize(353, 177);
}

void TestPictureViewer::pictureShowsAtItsSize() {
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
    QVERIFY2(near(viewer.Picture1->size(), size),
             qPrintable(QString("%1 x %2").arg(viewer.Picture1->width()).arg(viewer.Picture1->height())));
    const QImage shown = viewer.Picture1->grab().toImage();
    QVERIFY(shown.pixelColor(size.width() / 2, size.height() / 2) !=
            viewer.palette().window().color());
    const QString folder = qEnvironmentVariable("QUILLORY_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QVERIFY(viewer.grab().save(folder + "/viewer-" + QTest::currentDataTag() + ".png"));
    }
}

void TestPictureViewer::pictureRefitsWithTheWindow() {
    QImage photo(1200, 900, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    Shown s({{"photo.jpg", pic::saved(photo, "jpg", 90)}});
    QVERIFY(QTest::qWaitForWindowExposed(&s.viewer));
    s.viewer.File1->selectIndex(0);
    QVERIFY(near(s.viewer.Picture1->size(), {353, 265}));
    // 200 pixels wider and higher: the space grows to 553 x 593, never beyond 100%.
    s.viewer.resize(s.viewer.size() + QSize(200, 200));
    QTRY_VERIFY(near(s.viewer.Picture1->size(), {553, 415}));
    QCOMPARE(s.viewer.Picture1->pos(), QPoint(176, 40));
    s.viewer.resize(s.viewer.size() - QSize(200, 200));
    QTRY_VERIFY(near(s.viewer.Picture1->size(), {353, 265}));
}

void TestPictureViewer::animatedGifPlaysUntilAnotherFile() {
    // The first frame is a corner patch of a 32 x 24 picture; the second adds
    // another patch over it.
    const QByteArray gif = pic::gifPatches({32, 24}, {{{0, 0, 8, 8}, 0}, {{16, 8, 8, 8}, 2}});
    Shown s({{"anim.gif", gif}, {"still.bmp", pic::saved(mf::quarters(), "bmp")}});
    QVERIFY(QTest::qWaitForWindowExposed(&s.viewer));
    s.viewer.File1->selectIndex(0);
    const PictureBox& area = *s.viewer.Picture1;
    QCOMPARE(area.size(), QSize(32, 24));
    QVERIFY(mf::isColor(area.Picture(), 4, 4, Qt::red)); // the first frame at once
    QVERIFY(area.isAnimating());
    QTRY_VERIFY(mf::isColor(area.Picture(), 20, 12, Qt::blue));
    QVERIFY(mf::isColor(area.Picture(), 4, 4, Qt::red)); // frame over frame
    QTRY_VERIFY(!mf::isColor(area.Picture(), 20, 12, Qt::blue)); // and again from the start
    s.viewer.File1->selectIndex(1);
    QVERIFY(!area.isAnimating());
    QCOMPARE(area.size(), QSize(20, 20));
}

QTEST_MAIN(TestPictureViewer)
#include "tst_picture_viewer.moc"
