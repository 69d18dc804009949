#include "Unprivileged.h"
#include "ViewerSteps.h"
#include "platform/MediaControl.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/Volumes.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QMediaPlayer>
#include <QtEndian>
#include <QtTest>
#include <cmath>

using namespace ViewerSteps;

namespace {

const QString Confirm = QStringLiteral("Do you really want to delete this file?");
const QString SelectOne = QStringLiteral("Please select a file to delete|48|Error..");

QString describe(const MsgBoxRecorder::Box& box) {
    return box.prompt + QLatin1Char('|') + QString::number(box.code) + QLatin1Char('|') + box.title;
}

void appendLe(QByteArray& bytes, quint32 value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.append(char((value >> (8 * i)) & 0xff));
}

// A mono 16-bit PCM tone at 8000 samples a second.
QByteArray toneWav(double seconds) {
    const int rate = 8000;
    const int samples = int(seconds * rate);
    QByteArray data;
    for (int i = 0; i < samples; ++i)
        appendLe(data, quint16(qint16(8000 * std::sin(2 * M_PI * 440.0 * i / rate))), 2);
    QByteArray wav("RIFF");
    appendLe(wav, quint32(36 + data.size()), 4);
    wav += "WAVEfmt ";
    appendLe(wav, 16, 4);
    appendLe(wav, 1, 2); // PCM
    appendLe(wav, 1, 2); // mono
    appendLe(wav, rate, 4);
    appendLe(wav, rate * 2, 4);
    appendLe(wav, 2, 2);
    appendLe(wav, 16, 2);
    wav += "data";
    appendLe(wav, quint32(data.size()), 4);
    return wav + data;
}

QByteArray png() {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Waits a while for playback to start; a headless machine may never get there.
bool reachesPlaying(MediaControl* media) {
    if (!media->player()) return false;
    QElapsedTimer timer;
    timer.start();
    while (media->player()->playbackState() != QMediaPlayer::PlayingState && timer.elapsed() < 5000)
        QTest::qWait(50);
    const bool playing = media->player()->playbackState() == QMediaPlayer::PlayingState;
    qInfo("media backend %s playing", playing ? "reached" : "did not reach");
    return playing;
}

bool isStopped(MediaControl* media) {
    return !media->player() || media->player()->playbackState() == QMediaPlayer::StoppedState;
}

// Subject run: as the unprivileged user, deletes name in folder, answering Yes.
int deleteSubject(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    TheViewer viewer;
    openFolder(viewer, args.value(2));
    if (!selectFile(viewer, args.value(3))) return 2;
    MsgBoxRecorder boxes(Mb::Yes);
    viewer.FileDel_Click();
    for (const auto& box : boxes.boxes)
        Unprivileged::report("box", describe(box));
    Unprivileged::report("listed", listed(viewer).join('/'));
    return 0;
}

} // namespace

class DeleteTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { Module::reset(); }

    void noSelectionStopsPlaybackAndAsks() {
        TempTree tree;
        const QString sound = tree.write("tone.wav", toneWav(3));
        tree.write("other.txt", "x");
        TheViewer viewer;
        openFolder(viewer, tree.path());
        viewer.MMControl1->setFileName(sound);
        viewer.MMControl1->setCommand("Open");
        viewer.MMControl1->setCommand("Play");
        QVERIFY(viewer.MMControl1->isOpen());
        reachesPlaying(viewer.MMControl1);

        MsgBoxRecorder boxes;
        bool stoppedBeforeMessage = false;
        boxes.onShow([&](const MsgBoxRecorder::Box&) {
            stoppedBeforeMessage = !viewer.MMControl1->isOpen() && isStopped(viewer.MMControl1);
        });
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), SelectOne);
        QVERIFY(stoppedBeforeMessage);
        QVERIFY(!viewer.MMControl1->isOpen());
        QVERIFY(isStopped(viewer.MMControl1));
        QCOMPARE(listed(viewer), (QStringList{"other.txt", "tone.wav"}));
    }

    void answeringNoKeepsTheFile() {
        TempTree tree;
        tree.write("clip.wav", toneWav(3));
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, "clip.wav")); // starts it playing
        QVERIFY(viewer.MMControl1->isOpen());
        reachesPlaying(viewer.MMControl1);
        MsgBoxRecorder boxes(Mb::No);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), Confirm + "|4|clip.wav");
        QCOMPARE(Module::SelectedPath, tree.file("clip.wav"));
        QVERIFY(QFile::exists(tree.file("clip.wav")));
        QCOMPARE(listed(viewer), QStringList{"clip.wav"});
        QVERIFY(!viewer.MMControl1->isOpen());
        QVERIFY(isStopped(viewer.MMControl1));
    }

    void answeringYesDeletesAndRefreshes_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("picture on show") << "shown.png";
        QTest::newRow("sound playing") << "playing.wav";
    }
    void answeringYesDeletesAndRefreshes() {
        QFETCH(QString, name);
        TempTree tree;
        tree.write("shown.png", png());
        tree.write("playing.wav", toneWav(3));
        tree.write("stays.txt", "x");
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, name));
        const bool picture = name.endsWith(".png");
        QCOMPARE(viewer.Picture1->isVisibleTo(&viewer), picture);
        if (!picture) reachesPlaying(viewer.MMControl1);

        MsgBoxRecorder boxes(Mb::Yes);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), Confirm + "|4|" + name);
        QVERIFY(!QFile::exists(tree.file(name)));
        QVERIFY(!listed(viewer).contains(name));
        QCOMPARE(listed(viewer).size(), 2);
        QVERIFY(!viewer.MMControl1->isOpen());
        QVERIFY(isStopped(viewer.MMControl1));
        // What the window showed of the file stays until another is shown.
        QCOMPARE(viewer.Label1->text(), tree.file(name));
        QCOMPARE(viewer.Picture1->isVisibleTo(&viewer), picture);
        if (picture) QCOMPARE(viewer.Picture1->Picture().size(), QSize(8, 6));
    }

    void fileGoneBehindOurBack() {
        TempTree tree;
        const QString gone = tree.write("gone.txt", "x");
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, "gone.txt"));
        QVERIFY(QFile::remove(gone));
        MsgBoxRecorder boxes(Mb::Yes);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 2);
        QCOMPARE(describe(boxes.boxes[0]), Confirm + "|4|gone.txt");
        QCOMPARE(describe(boxes.boxes[1]), SelectOne);
        QCOMPARE(listed(viewer), QStringList{"gone.txt"}); // not re-read
    }

    void wildcardNameDeletesOnlyItself_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("others");
        QTest::newRow("star") << "*.txt" << QStringList{"a.txt", "b.txt"};
        QTest::newRow("question mark") << "a?c.txt" << QStringList{"abc.txt", "axc.txt"};
        QTest::newRow("bracket class") << "[ab].txt" << QStringList{"a.txt", "b.txt"};
    }
    void wildcardNameDeletesOnlyItself() {
        QFETCH(QString, name);
        QFETCH(QStringList, others);
        TempTree tree;
        tree.write(name, "me");
        for (const QString& other : others)
            tree.write(other, "not me");
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, name));
        MsgBoxRecorder boxes(Mb::Yes);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QVERIFY(!QFile::exists(tree.file(name)));
        for (const QString& other : others)
            QVERIFY(QFile::exists(tree.file(other)));
        QCOMPARE(listed(viewer), others);
    }

    void menuItemAndDelKeyAsk() {
        TempTree tree;
        tree.write("a.txt", "x");
        TheViewer viewer;
        viewer.show();
        // A shortcut needs an active window; a bare X server has no window
        // manager to give one.
        if (!QTest::qWaitForWindowActive(&viewer)) QApplication::setActiveWindow(&viewer);
        QVERIFY(viewer.isActiveWindow());
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, "a.txt"));
        MsgBoxRecorder boxes(Mb::No);
        viewer.FileDel->trigger();
        viewer.File1->setFocus();
        QTest::keyClick(viewer.File1, Qt::Key_Delete);
        QCOMPARE(boxes.boxes.size(), 2);
        for (const auto& box : boxes.boxes)
            QCOMPARE(describe(box), Confirm + "|4|a.txt");
        QVERIFY(QFile::exists(tree.file("a.txt")));
    }

    void refusedDeleteIsSilent() {
        TempTree tree;
        tree.write("kept.txt", "x");
        QVERIFY(Unprivileged::prepare(tree.path(), 0555, true));
        const auto found = Unprivileged::run({tree.path(), "kept.txt"});
        QVERIFY2(!found.contains("exit"), "the unprivileged delete did not run");
        QCOMPARE(found.values("box"), QStringList{Confirm + "|4|kept.txt"});
        QCOMPARE(found.value("listed"), "kept.txt");
        QVERIFY(QFile::exists(tree.file("kept.txt")));
    }
};

int main(int argc, char** argv) {
    if (Unprivileged::isSubjectRun(argc, argv)) return deleteSubject(argc, argv);
    QApplication app(argc, argv);
    DeleteTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_delete.moc"
