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
#include <QPainter>
#include <QScreen>
#include <QtTest>

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
    // Selects the first file; true once its picture shows.
    bool showFirst(int timeout = 20000) {
        if (!QTest::qWaitForWindowExposed(&viewer) || viewer.File1->ListCount() < 1) return false;
        viewer.File1->selectIndex(0);
        return QTest::qWaitFor([this] { return viewer.Picture1->isVisible(); }, timeout);
    }
};
bool near(QSize a, QSize b) {
    return qAbs(a.width() - b.width()) <= 1 && qAbs(a.height() - b.height()) <= 1;
}
} // namespace

class TestPictureViewer : public QObject {
    Q_OBJECT
  private slots:
    void pictureShowsAtItsSize_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        mf::Wmf wmf;
        wmf.solidBrush(0, 0, 255).select(0).rectangle(0, 0, 120, 80);
        mf::Emf emf;
        emf.solidBrush(1, 0, 160, 0).select(1).rectangle(0, 0, 120, 80);
        QTest::newRow("wmf") << "scene.wmf" << wmf.placeable({0, 0, 120, 80}, 96) << QSize(120, 80);
        QTest::newRow("emf") << "scene.emf" << emf.file({0, 0, 3175, 2117}) << QSize(120, 80);
        QTest::newRow("ico") << "scene.ico"
                             << pic::iconFile({{16, 32, Qt::red}, {48, 32, Qt::darkGreen}})
                             << QSize(48, 48);
    }

    void pictureShowsAtItsSize() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        Shown s({{name, bytes}});
        QVERIFY(s.showFirst());
        TheViewer& viewer = s.viewer;
        QVERIFY2(
            near(viewer.Picture1->size(), size),
            qPrintable(
                QString("%1 x %2").arg(viewer.Picture1->width()).arg(viewer.Picture1->height())));
        const QImage shown = viewer.Picture1->grab().toImage();
        QVERIFY(shown.pixelColor(size.width() / 2, size.height() / 2) !=
                viewer.palette().window().color());
        const QString folder = qEnvironmentVariable("QUILLORY_SCREENSHOTS");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            QVERIFY(viewer.grab().save(folder + "/viewer-" + QTest::currentDataTag() + ".png"));
        }
    }

    void pictureRefitsWithTheWindow() {
        QImage photo(1200, 900, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        Shown s({{"photo.jpg", pic::saved(photo, "jpg", 90)}});
        QVERIFY(s.showFirst());
        // Larger than the 353 x 393 pixels right of and below the corner at the
        // design size: fitted, the aspect kept.
        QVERIFY(near(s.viewer.Picture1->size(), {353, 265}));
        // 200 pixels wider and higher: the space grows to 553 x 593, never beyond 100%.
        s.viewer.resize(s.viewer.size() + QSize(200, 200));
        QTRY_VERIFY(near(s.viewer.Picture1->size(), {553, 415}));
        QCOMPARE(s.viewer.Picture1->pos(), QPoint(176, 40));
        s.viewer.resize(s.viewer.size() - QSize(200, 200));
        QTRY_VERIFY(near(s.viewer.Picture1->size(), {353, 265}));
    }

    void animatedGifPlaysUntilAnotherFile_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("utf-8 name") << QByteArray("anim.gif");
        QTest::newRow("name with byte 0xE9, not utf-8") << QByteArray("anim\xe9.gif");
    }

    void animatedGifPlaysUntilAnotherFile() {
        // The first frame is a corner patch of a 32 x 24 picture; the second adds
        // another patch over it.
        QFETCH(QByteArray, name);
        const QByteArray gif = pic::gifPatches({32, 24}, {{{0, 0, 8, 8}, 0}, {{16, 8, 8, 8}, 2}});
        Shown s({{"still.bmp", pic::saved(mf::quarters(), "bmp")}});
        QVERIFY(s.tree.writeRaw(name, gif));
        s.viewer.File1->Refresh();
        QVERIFY(s.showFirst());
        const PictureBox& area = *s.viewer.Picture1;
        QCOMPARE(area.size(), QSize(32, 24));
        QVERIFY(mf::isColor(area.Picture(), 4, 4, Qt::red)); // the first frame at once
        QVERIFY(area.isAnimating());
        QTRY_VERIFY(mf::isColor(area.Picture(), 20, 12, Qt::blue));
        QVERIFY(mf::isColor(area.Picture(), 4, 4, Qt::red));         // frame over frame
        QTRY_VERIFY(!mf::isColor(area.Picture(), 20, 12, Qt::blue)); // and again from the start
        s.viewer.File1->selectIndex(1);
        QVERIFY(!area.isAnimating());
        QTRY_VERIFY_WITH_TIMEOUT(area.isVisible(), 20000);
        QVERIFY(!area.isAnimating());
        QCOMPARE(area.size(), QSize(20, 20));
    }

    void wholePictureAtDesignSizeAndMaximised_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("natural");
        QImage photo(6000, 4000, QImage::Format_RGB32); // 24 megapixels
        QPainter painter(&photo);
        QLinearGradient sky(0, 0, 6000, 4000);
        sky.setColorAt(0, Qt::darkBlue);
        sky.setColorAt(1, Qt::yellow);
        painter.fillRect(photo.rect(), sky);
        painter.fillRect(5600, 3600, 400, 400, Qt::red); // the far corner
        painter.end();
        mf::Wmf plan;
        plan.solidBrush(0, 128, 0).select(0).rectangle(0, 0, 2400, 1600);
        plan.solidBrush(255, 0, 0).select(1).rectangle(2200, 1400, 2400, 1600);
        QTest::newRow("24 MP photo") << "photo.jpg" << pic::saved(photo, "jpg", 85) << photo.size();
        QTest::newRow("large metafile")
            << "plan.wmf" << plan.placeable({0, 0, 2400, 1600}, 96) << QSize(2400, 1600);
        QTest::newRow("small icon")
            << "small.ico" << pic::iconFile({{32, 32, Qt::red}}) << QSize(32, 32);
    }

    void wholePictureAtDesignSizeAndMaximised() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, natural);
        Shown s({{name, bytes}});
        QVERIFY(s.showFirst(60000)); // 24 MP under the sanitizer
        const QString folder = qEnvironmentVariable("QUILLORY_SCREENSHOTS");
        for (const char* state : {"design", "maximised"}) {
            if (QByteArray(state) == "maximised") {
                const QSize before = s.viewer.size();
                s.viewer.showMaximized();
                // Without a window manager (a bare X server) maximising is up to us.
                if (!QTest::qWaitFor([&] { return s.viewer.size() != before; }, 1000))
                    s.viewer.setGeometry(s.viewer.screen()->availableGeometry());
                QTRY_VERIFY(s.viewer.size() != before);
            }
            const QRect area = s.viewer.Picture1->geometry();
            const QSize space = s.viewer.Picture1->space();
            QVERIFY(s.viewer.centralWidget()->rect().contains(area));
            QCOMPARE(area.topLeft(), QPoint(176, 40));
            QVERIFY(area.width() <= space.width() && area.height() <= space.height());
            // Fitted: one side fills its space, or the picture is at 100%.
            QVERIFY(area.size() == natural || area.width() >= space.width() - 1 ||
                    area.height() >= space.height() - 1);
            QVERIFY(qAbs(double(area.width()) / area.height() -
                         double(natural.width()) / natural.height()) < 0.02);
            if (!folder.isEmpty()) {
                QTest::qWait(200);
                QDir().mkpath(folder);
                const QString file =
                    folder + "/" + QFileInfo(name).baseName() + "-" + state + ".png";
                QVERIFY(s.viewer.screen()->grabWindow(0).save(file));
            }
        }
    }
};

QTEST_MAIN(TestPictureViewer)
#include "tst_picture_viewer.moc"
