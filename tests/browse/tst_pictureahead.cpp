// Stepping through pictures: the neighbours of the picture shown are decoded
// ahead, so that the next step shows its picture before File1_Click returns;
// a changed file is decoded again, and another folder or a minimised window
// stops the decoding ahead.
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/PictureBox.h"
#include "controls/PictureFetcher.h"
#include "formats/tst_picture_files.h"
#include "shell/TheViewer.h"
#include "support/TempTree.h"

#include <QtTest>

namespace {

QByteArray picture(QSize size, QColor colour, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return pic::saved(image, format, 95);
}

// Five pictures, a.jpg to e.bmp, each of its own size.
void writePictures(TempTree& tree) {
    tree.write("a.jpg", picture({40, 30}, Qt::red, "jpg"));
    tree.write("b.bmp", picture({41, 31}, Qt::green, "bmp"));
    tree.write("c.jpg", picture({42, 32}, Qt::blue, "jpg"));
    tree.write("d.tif", picture({43, 33}, Qt::yellow, "tif"));
    tree.write("e.bmp", picture({44, 34}, Qt::cyan, "bmp"));
}

struct Stepping {
    TempTree tree;
    TheViewer viewer;
    PictureFetcher* fetcher;
    Stepping() : fetcher(viewer.findChild<PictureFetcher*>()) {
        writePictures(tree);
        viewer.File1->setPattern("*.jpg;*.bmp;*.tif");
        viewer.Dir1->setPath(tree.path());
        viewer.show();
    }
    // Selects entry index and waits until its picture shows and nothing more
    // is decoded ahead.
    bool showSettled(int index) {
        viewer.File1->selectIndex(index);
        return QTest::qWaitFor(
            [this] { return viewer.Picture1->isVisible() && !fetcher->isDecodingAhead(); }, 20000);
    }
};

} // namespace

class TestPictureAhead : public QObject {
    Q_OBJECT
  private slots:
    void nextPictureShowsBeforeTheClickReturns_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("held"); // pictures the cache holds before the step
        QTest::newRow("first, then the next") << 0 << 1 << 3;
        QTest::newRow("next but one") << 0 << 2 << 3;
        QTest::newRow("middle, one back") << 2 << 1 << 4;
    }
    void nextPictureShowsBeforeTheClickReturns() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, held);
        Stepping s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.viewer));
        QVERIFY(s.showSettled(from));
        QCOMPARE(s.fetcher->prefetchedCount(), held);
        s.viewer.File1->selectIndex(to); // no event runs between the click and the checks
        QVERIFY(s.viewer.Picture1->isVisible());
        const QImage expected(s.tree.file(s.viewer.File1->List(to)));
        QCOMPARE(s.viewer.Picture1->Picture().size(), expected.size());
        QVERIFY(!s.viewer.isPictureLoading());
    }

    void changedFileIsDecodedAgain() {
        Stepping s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.viewer));
        QVERIFY(s.showSettled(0));
        QCOMPARE(s.fetcher->prefetchedCount(), 3);
        s.tree.write("b.bmp", picture({60, 50}, Qt::magenta, "bmp")); // size and time change
        s.viewer.File1->selectIndex(1);
        QVERIFY(!s.viewer.Picture1->isVisible()); // not from the cache: decoded anew
        QTRY_VERIFY_WITH_TIMEOUT(s.viewer.Picture1->isVisible(), 20000);
        QCOMPARE(s.viewer.Picture1->Picture().size(), QSize(60, 50));
    }

    void anotherFolderStopsDecodingAhead() {
        Stepping s;
        TempTree other;
        other.write("z.bmp", picture({10, 10}, Qt::black, "bmp"));
        QVERIFY(QTest::qWaitForWindowExposed(&s.viewer));
        s.viewer.File1->selectIndex(0);
        s.viewer.Dir1->setPath(other.path()); // while the first is decoding
        QCOMPARE(s.fetcher->prefetchedCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!s.viewer.isPictureLoading() && !s.fetcher->isDecodingAhead(),
                                 20000);
        QCOMPARE(s.fetcher->prefetchedCount(), 1); // the picture shown, none of its neighbours
    }

    void minimisedWindowDecodesNothingAhead() {
        Stepping s;
        QVERIFY(QTest::qWaitForWindowExposed(&s.viewer));
        s.viewer.showMinimized();
        QTRY_VERIFY(s.viewer.isMinimized());
        s.viewer.File1->selectIndex(0);
        QTRY_VERIFY_WITH_TIMEOUT(!s.viewer.isPictureLoading(), 20000);
        QVERIFY(!s.fetcher->isDecodingAhead());
        QCOMPARE(s.fetcher->prefetchedCount(), 1); // the picture shown, for a step back
    }
};

QTEST_MAIN(TestPictureAhead)
#include "tst_pictureahead.moc"
