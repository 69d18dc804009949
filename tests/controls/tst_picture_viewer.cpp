// Pictures selected in the real main window: the picture area shows them at
// their own size. With QUILLORY_SCREENSHOTS=<folder> the window is saved once
// per row.
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
};

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
