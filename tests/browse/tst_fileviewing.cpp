#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "media/GstPlayer.h"
#include "controls/MediaControl.h"
#include "controls/PictureBox.h"
#include "controls/RichTextPane.h"
#include "controls/VideoWindow.h"
#include "fileops/ViewerSteps.h"
#include "formats/tst_picture_files.h"
#include "shell/TheViewer.h"
#include "support/MediaFixtures.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QImage>
#include <QLabel>
#include <QtTest>
#include <sys/stat.h>

using namespace ViewerSteps;

namespace {

QByteArray bmp(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return pic::saved(image, "bmp");
}

// Lists every file of folder, as the filter "*" would.
void openAll(TheViewer& viewer, const QString& folder) {
    viewer.File1->setPattern("*");
    openFolder(viewer, folder);
}

// A metafile of a million small squares: more seconds of playing than any
// test waits, unless it stops when no longer wanted.
QByteArray slowMetafile() {
    mf::Wmf squares;
    squares.rectangle(10, 10, 12, 12);
    for (int i = 0; i < 20; ++i) {
        const mf::Wmf copy = squares;
        squares.append(copy);
    }
    mf::Wmf wmf;
    wmf.solidBrush(0, 0, 255).select(0).append(squares);
    return wmf.placeable({0, 0, 1000, 1000}, 96);
}

// Notes the size of the picture the picture area appears with, each time.
class ShowWatch : public QObject {
  public:
    QList<QSize> shown;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            shown << static_cast<PictureBox*>(watched)->Picture().size();
        return false;
    }
};

bool isPlaying(const TheViewer& viewer) {
    return viewer.MMControl1->player() && viewer.MMControl1->player()->isPlaying();
}

} // namespace

class FileViewingTest : public QObject {
    Q_OBJECT
    TempTree tree;

  private slots:
    void initTestCase() {
        using namespace MediaFixtures;
        tree.write("photo.bmp", bmp(40, 30, Qt::red));
        tree.write("disguised.gif", bmp(20, 10, Qt::blue)); // the content decides
        tree.write("readme.TXT", "plain words\r\nsecond line");
        tree.write("letter.Doc", "a letter");
        tree.write("info.NfO", "info file");
        tree.write("tone.wav", wav(4));
        tree.write("tone.au", au(4));
        tree.write("tune.mid", midi(4));
        tree.write("clip.avi", aviMjpeg(40, 64, 48));
        tree.write("data.bin", QByteArray(64, 'x'));
        tree.write("broken.jpg", QByteArray::fromHex("ffd8ffe0") + " not really a jpeg");
        tree.write("empty.bmp", {});
        tree.write("text-as.wav", "this is no sound");
        tree.write("latin1.txt", "caf\xe9 cr\xe8me");
        tree.write("slow.wmf", slowMetafile());
    }

    void outcomeByKindOfFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("textShown");
        QTest::addColumn<bool>("pictureShown");
        QTest::addColumn<bool>("plays");
        QTest::addColumn<QString>("textHeld");
        QTest::newRow("picture") << "photo.bmp" << false << true << false << "";
        QTest::newRow("picture by content") << "disguised.gif" << false << true << false << "";
        QTest::newRow("TXT") << "readme.TXT" << true << false << false
                             << "plain words\nsecond line";
        QTest::newRow("Doc") << "letter.Doc" << true << false << false << "a letter";
        QTest::newRow("NfO") << "info.NfO" << true << false << false << "info file";
        QTest::newRow("not utf-8") << "latin1.txt" << true << false << false << "café crème";
        QTest::newRow("wav") << "tone.wav" << false << false << true << "";
        QTest::newRow("au") << "tone.au" << false << false << true << "";
        QTest::newRow("mid") << "tune.mid" << false << false << true << "";
        QTest::newRow("avi") << "clip.avi" << false << false << true << "";
        QTest::newRow("unknown") << "data.bin" << false << false << false << "";
        QTest::newRow("damaged picture") << "broken.jpg" << false << false << false << "";
        QTest::newRow("empty picture") << "empty.bmp" << false << false << false << "";
        QTest::newRow("sound name, text inside") << "text-as.wav" << false << false << false << "";
    }
    void outcomeByKindOfFile() {
        QFETCH(QString, name);
        QFETCH(bool, textShown);
        QFETCH(bool, pictureShown);
        QFETCH(bool, plays);
        QFETCH(QString, textHeld);
        MsgBoxRecorder boxes;
        TheViewer viewer;
        openAll(viewer, tree.path());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY(selectFile(viewer, name));
        QTRY_VERIFY_WITH_TIMEOUT(!viewer.isPictureLoading(), 20000);

        QCOMPARE(viewer.Label1->text(), tree.path() + "/" + name);
        QCOMPARE(viewer.TextB->isVisible(), textShown);
        QCOMPARE(viewer.Picture1->isVisible(), pictureShown);
        if (textShown) QCOMPARE(viewer.TextB->toPlainText(), textHeld);
        if (pictureShown) {
            const QImage expected = QImage(tree.file(name)).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(viewer.Picture1->size(), expected.size());
            QCOMPARE(viewer.Picture1->Picture().convertToFormat(QImage::Format_RGB32), expected);
            QCOMPARE(viewer.Picture1->pos(), QPoint(176, 40)); // the corner stays put
        }
        if (plays) {
            QTRY_VERIFY_WITH_TIMEOUT(isPlaying(viewer), 60000); // MIDI loads a sound font first
            QTRY_VERIFY_WITH_TIMEOUT(viewer.MMControl1->player()->positionMs() > 200, 30000);
        } else {
            QVERIFY(!viewer.MMControl1->isOpen());
        }
        QCOMPARE(boxes.boxes.size(), 0); // nothing is ever reported
    }

    // A selection made before the last one's picture is decoded wins: the
    // earlier picture never shows, and a slow one stops playing.
    void quickSecondSelectionShowsOnlyTheSecond_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QSize>("shown"); // invalid: no picture shows
        QTest::newRow("picture, then text") << "photo.bmp"
                                            << "readme.TXT" << QSize();
        QTest::newRow("picture, then picture") << "photo.bmp"
                                               << "disguised.gif" << QSize(20, 10);
        QTest::newRow("slow metafile, then picture") << "slow.wmf"
                                                     << "photo.bmp" << QSize(40, 30);
    }
    void quickSecondSelectionShowsOnlyTheSecond() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QSize, shown);
        TheViewer viewer;
        openAll(viewer, tree.path());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        ShowWatch watch;
        viewer.Picture1->installEventFilter(&watch);
        QVERIFY(selectFile(viewer, first));
        QVERIFY(selectFile(viewer, second));
        // One decode runs at a time: the second is answered after the first.
        QTRY_VERIFY_WITH_TIMEOUT(!viewer.isPictureLoading(), 20000);
        QCOMPARE(watch.shown, shown.isValid() ? QList<QSize>{shown} : QList<QSize>{});
        QCOMPARE(viewer.Picture1->isVisible(), shown.isValid());
    }

    void nextSelectionStopsPlayback() {
        TheViewer viewer;
        openAll(viewer, tree.path());
        QVERIFY(selectFile(viewer, "tone.wav"));
        QTRY_VERIFY_WITH_TIMEOUT(isPlaying(viewer), 30000);
        QVERIFY(selectFile(viewer, "photo.bmp"));
        QVERIFY(!viewer.MMControl1->isOpen()); // its pipeline is taken down
        QTRY_VERIFY_WITH_TIMEOUT(viewer.Picture1->isVisibleTo(&viewer), 20000);

        QVERIFY(selectFile(viewer, "clip.avi")); // hides the picture, plays in its own window
        QVERIFY(!viewer.Picture1->isVisibleTo(&viewer));
        QTRY_VERIFY_WITH_TIMEOUT(isPlaying(viewer), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(viewer.MMControl1->videoWindow() &&
                                     viewer.MMControl1->videoWindow()->isVisible(),
                                 30000);

        // A text file stops the video and closes its window.
        QVERIFY(selectFile(viewer, "readme.TXT"));
        QVERIFY(viewer.TextB->isVisibleTo(&viewer));
        QVERIFY(!viewer.MMControl1->isOpen());
        QVERIFY(!viewer.MMControl1->videoWindow());
        // A hidden pane keeps its content.
        QVERIFY(selectFile(viewer, "data.bin"));
        QVERIFY(!viewer.TextB->isVisibleTo(&viewer));
        QCOMPARE(viewer.TextB->toPlainText(), QString("plain words\nsecond line"));
        QCOMPARE(viewer.Label1->text(), tree.file("data.bin"));
    }

    // A name that is not UTF-8 shows its own file, in a folder that is not
    // UTF-8 either; the label shows each such byte as U+FFFD.
    void namesNotUtf8() {
        TempTree local;
        const QByteArray folder = QFile::encodeName(local.path()) + "/d\xe9j\xe0";
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        QVERIFY(local.writeRaw("d\xe9j\xe0/bad\xff.txt", "latin-1 name"));
        QVERIFY(local.writeRaw("d\xe9j\xe0/bad\xef\xbf\xbd.txt", "utf-8 name"));
        TheViewer viewer;
        openAll(viewer, local.path());
        viewer.Dir1->setPath(viewer.Dir1->List(viewer.Dir1->ListCount() - 1)); // as a double-click
        QCOMPARE(viewer.File1->ListCount(), 2);
        viewer.File1->selectIndex(0); // U+DCFF sorts before U+FFFD
        QCOMPARE(viewer.Label1->text(), local.path() + QString("/d\uFFFDj\uFFFD/bad\uFFFD.txt"));
        QCOMPARE(viewer.TextB->toPlainText(), QString("latin-1 name"));
    }

    // A listed file that vanished, or was replaced by a named pipe or by a
    // link to a device, is not read: the step ends at once as for an
    // unreadable file, and the picture shown before is hidden.
    void goneOrPipeOrDeviceEndsQuietly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("instead");
        QTest::newRow("gone text.txt") << "text.txt"
                                       << "";
        for (const char* name : {"text.txt", "sound.wav", "picture.bmp"}) {
            QTest::addRow("pipe as %s", name) << QString(name) << "pipe";
            QTest::addRow("/dev/zero as %s", name) << QString(name) << "device";
        }
    }
    void goneOrPipeOrDeviceEndsQuietly() {
        QFETCH(QString, name);
        QFETCH(QString, instead);
        TempTree local;
        const QString path = local.write(name, "listed as a plain file");
        local.write("photo.dib", bmp(4, 4, Qt::green));
        MsgBoxRecorder boxes;
        TheViewer viewer;
        openAll(viewer, local.path());
        QVERIFY(selectFile(viewer, "photo.dib"));
        QTRY_VERIFY_WITH_TIMEOUT(viewer.Picture1->isVisibleTo(&viewer), 20000);
        QVERIFY(QFile::remove(path));
        if (instead == "pipe") QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        if (instead == "device") QVERIFY(QFile::link("/dev/zero", path));
        // Were it read, the test would hang here until its time is up.
        QVERIFY(selectFile(viewer, name));
        QTRY_VERIFY_WITH_TIMEOUT(!viewer.isPictureLoading(), 10000);
        QCOMPARE(viewer.Label1->text(), path);
        QCOMPARE(viewer.TextB->isVisibleTo(&viewer), name.endsWith(".txt"));
        QCOMPARE(viewer.TextB->toPlainText(), QString());
        QVERIFY(!viewer.Picture1->isVisibleTo(&viewer));
        QVERIFY(!viewer.MMControl1->isOpen());
        QCOMPARE(boxes.boxes.size(), 0);
    }

    void fileInTheRootHasOneSeparator() {
        const QString name =
            QStringLiteral("quillory-root-test-%1.nfo").arg(QCoreApplication::applicationPid());
        QFile file("/" + name);
        if (!file.open(QIODevice::WriteOnly)) QSKIP("the root folder cannot be written here");
        file.write("root file");
        file.close();
        TheViewer viewer;
        viewer.File1->setPattern("*.nfo");
        viewer.Dir1->setPath("/");
        QVERIFY(selectFile(viewer, name));
        QFile::remove("/" + name);
        QCOMPARE(viewer.Label1->text(), "/" + name);
        QCOMPARE(viewer.TextB->toPlainText(), QString("root file"));
    }
};

QTEST_MAIN(FileViewingTest)
#include "tst_fileviewing.moc"
