#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/GstPlayer.h"
#include "controls/MediaControl.h"
#include "controls/PictureBox.h"
#include "controls/RichTextPane.h"
#include "controls/VideoWindow.h"
#include "formats/tst_metafile_writer.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "support/MediaFixtures.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray bmp(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// Selects the named entry as a user would.
void select(TheViewer& viewer, const QString& name) {
    for (int i = 0; i < viewer.File1->ListCount(); ++i) {
        if (viewer.File1->List(i) == name) return viewer.File1->selectIndex(i);
    }
    QFAIL(qPrintable("not listed: " + name));
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

// Ends the process when its scope is not left in time: a step that waits on
// a pipe must fail the test, not hang the test run.
class Watchdog {
  public:
    explicit Watchdog(int seconds)
        : thread_([this, seconds] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::seconds(seconds), [this] { return left_; })) {
                  std::fprintf(stderr, "FAIL: the step still runs after %d s\n", seconds);
                  std::_Exit(1);
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            left_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool left_ = false;
    std::thread thread_;
};

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
        tree.write("notes.tXt", "more notes");
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
        QTest::newRow("tXt") << "notes.tXt" << true << false << false << "more notes";
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
        viewer.File1->setPattern("*");
        viewer.Dir1->setPath(tree.path());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        select(viewer, name);
        QTRY_VERIFY_WITH_TIMEOUT(!viewer.isPictureLoading(), 20000);

        QCOMPARE(viewer.Label1->text(), tree.path() + "/" + name);
        QCOMPARE(Module::SelectedPath, tree.path() + "/" + name);
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
        viewer.File1->setPattern("*");
        viewer.Dir1->setPath(tree.path());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        ShowWatch watch;
        viewer.Picture1->installEventFilter(&watch);
        select(viewer, first);
        select(viewer, second);
        // One decode runs at a time: the second is answered after the first.
        QTRY_VERIFY_WITH_TIMEOUT(!viewer.isPictureLoading(), 20000);
        QCOMPARE(watch.shown, shown.isValid() ? QList<QSize>{shown} : QList<QSize>{});
        QCOMPARE(viewer.Picture1->isVisible(), shown.isValid());
    }

    void nextSelectionStopsPlayback() {
        TheViewer viewer;
        viewer.File1->setPattern("*");
        viewer.Dir1->setPath(tree.path());
        select(viewer, "tone.wav");
        QTRY_VERIFY_WITH_TIMEOUT(isPlaying(viewer), 30000);
        select(viewer, "photo.bmp");
        QVERIFY(!viewer.MMControl1->isOpen()); // its pipeline is taken down
        QTRY_VERIFY_WITH_TIMEOUT(viewer.Picture1->isVisibleTo(&viewer), 20000);

        select(viewer, "clip.avi"); // hides the picture, plays in its own window
        QVERIFY(!viewer.Picture1->isVisibleTo(&viewer));
        QTRY_VERIFY_WITH_TIMEOUT(isPlaying(viewer), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(viewer.MMControl1->videoWindow() &&
                                     viewer.MMControl1->videoWindow()->isVisible(),
                                 30000);
        QWidget* window = viewer.MMControl1->videoWindow();
        QCOMPARE(window->windowTitle(), QString("clip.avi"));
        QCOMPARE(window->size(), QSize(320, 240)); // 64 by 48, grown

        select(viewer, "readme.TXT"); // a text file stops the video and closes its window
        QVERIFY(viewer.TextB->isVisibleTo(&viewer));
        QVERIFY(!viewer.MMControl1->isOpen());
        QVERIFY(!viewer.MMControl1->videoWindow());
    }

    void panesKeepTheirContentWhileHidden() {
        TheViewer viewer;
        viewer.File1->setPattern("*");
        viewer.Dir1->setPath(tree.path());
        select(viewer, "readme.TXT");
        select(viewer, "data.bin");
        QVERIFY(!viewer.TextB->isVisibleTo(&viewer));
        QCOMPARE(viewer.TextB->toPlainText(), QString("plain words\nsecond line"));
        QCOMPARE(viewer.Label1->text(), tree.file("data.bin"));
    }

    void vanishedFileEndsQuietly() {
        TempTree local;
        const QString path = local.write("gone.txt", "soon gone");
        local.write("photo.bmp", bmp(4, 4, Qt::green));
        MsgBoxRecorder boxes;
        TheViewer viewer;
        viewer.File1->setPattern("*");
        viewer.Dir1->setPath(local.path());
        select(viewer, "photo.bmp");
        QFile::remove(path);
        select(viewer, "gone.txt");
        QCOMPARE(viewer.Label1->text(), path);
        QVERIFY(viewer.TextB->isVisibleTo(&viewer)); // shown before the load failed
        QTRY_VERIFY_WITH_TIMEOUT(!viewer.isPictureLoading(), 20000);
        QVERIFY(!viewer.Picture1->isVisibleTo(&viewer));
        QVERIFY(!viewer.MMControl1->isOpen());
        QCOMPARE(boxes.boxes.size(), 0);
    }

    // A name that is not UTF-8 shows its own file, in a folder that is not
    // UTF-8 either; the label shows each such byte as U+FFFD.
    void namesNotUtf8() {
        TempTree local;
        const QByteArray folder = QFile::encodeName(local.path()) + "/d\xe9j\xe0";
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        for (const auto& [name, content] :
             {std::pair<QByteArray, QByteArray>{"bad\xff.txt", "latin-1 name"},
              {"bad\xef\xbf\xbd.txt", "utf-8 name"}}) {
            QFile file;
            const int fd = ::open((folder + '/' + name).constData(), O_WRONLY | O_CREAT, 0644);
            QVERIFY(file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
            QCOMPARE(file.write(content), content.size());
        }
        TheViewer viewer;
        viewer.File1->setPattern("*");
        viewer.Dir1->setPath(local.path());
        viewer.Dir1->setPath(viewer.Dir1->List(viewer.Dir1->ListCount() - 1)); // as a double-click
        QCOMPARE(viewer.File1->ListCount(), 2);
        viewer.File1->selectIndex(0); // U+DCFF sorts before U+FFFD
        QCOMPARE(viewer.Label1->text(), local.path() + QString("/d\uFFFDj\uFFFD/bad\uFFFD.txt"));
        QCOMPARE(viewer.TextB->toPlainText(), QString("latin-1 name"));
    }

    // A listed file replaced by a named pipe or by a link to a device is not
    // read: the step ends at once as for an unreadable file.
    void pipeOrDeviceEndsQuietly_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pipe");
        for (const char* name : {"text.txt", "sound.wav", "picture.bmp"}) {
            QTest::newRow(qPrintable(QString("pipe as ") + name)) << QString(name) << true;
            QTest::newRow(qPrintable(QString("/dev/zero as ") + name)) << QString(name) << false;
        }
    }
    void pipeOrDeviceEndsQuietly() {
        QFETCH(QString, name);
        QFETCH(bool, pipe);
        TempTree local;
        const QString path = local.write(name, "listed as a plain file");
        MsgBoxRecorder boxes;
        TheViewer viewer;
        viewer.File1->setPattern("*");
        viewer.Dir1->setPath(local.path());
        QCOMPARE(viewer.File1->ListCount(), 1);
        QVERIFY(QFile::remove(path));
        if (pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else
            QVERIFY(QFile::link("/dev/zero", path));
        {
            const Watchdog watchdog(20);
            viewer.File1->selectIndex(0);
            QTRY_VERIFY_WITH_TIMEOUT(!viewer.isPictureLoading(), 10000);
        }
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
        select(viewer, name);
        QFile::remove("/" + name);
        QCOMPARE(viewer.Label1->text(), "/" + name);
        QCOMPARE(viewer.TextB->toPlainText(), QString("root file"));
    }
};

QTEST_MAIN(FileViewingTest)
#include "tst_fileviewing.moc"
