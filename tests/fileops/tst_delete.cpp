#include "ViewerSteps.h"
#include "controls/GstPlayer.h"
#include "controls/MediaControl.h"
#include "controls/MessageBox.h"
#include "controls/PictureBox.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QDataStream>
#include <QImage>
#include <QLabel>
#include <QtTest>
#include <cmath>

using namespace ViewerSteps;

namespace {

const QString Confirm = QStringLiteral("Do you really want to delete this file?");
const QString SelectOne = QStringLiteral("Please select a file to delete|48|Error..");

QString describe(const MsgBoxRecorder::Box& box) {
    return box.prompt + QLatin1Char('|') + QString::number(box.code) + QLatin1Char('|') + box.title;
}

// A mono 16-bit PCM tone at 8000 samples a second.
QByteArray toneWav(double seconds) {
    const quint32 rate = 8000, samples = quint32(seconds * rate);
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + 2 * samples);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << rate * 2 << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(2 * samples);
    for (quint32 i = 0; i < samples; ++i)
        out << qint16(8000 * std::sin(2 * M_PI * 440.0 * i / rate));
    return wav;
}

// Headless, the sound goes to a silent output and still plays.
bool becomesPlaying(MediaControl* media) {
    return QTest::qWaitFor([media] { return media->player() && media->player()->isPlaying(); }, 30000);
}

// Closing takes the player, and with it the pipeline, down.
bool isStopped(MediaControl* media) { return !media->player(); }

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
        QVERIFY(becomesPlaying(viewer.MMControl1));

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

    void answerDecides_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::newRow("No keeps a playing sound") << "playing.wav" << int(Mb::No);
        QTest::newRow("Yes: picture on show") << "shown.png" << int(Mb::Yes);
        QTest::newRow("Yes: sound playing") << "playing.wav" << int(Mb::Yes);
    }
    void answerDecides() {
        QFETCH(QString, name);
        QFETCH(int, answer);
        TempTree tree;
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(tree.file("shown.png")));
        tree.write("playing.wav", toneWav(3));
        tree.write("stays.txt", "x");
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, name));
        const bool picture = name.endsWith(".png");
        if (!picture) QVERIFY(becomesPlaying(viewer.MMControl1));

        MsgBoxRecorder boxes(answer);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), Confirm + "|4|" + name);
        const bool deleted = answer == Mb::Yes;
        QCOMPARE(QFile::exists(tree.file(name)), !deleted);
        QCOMPARE(listed(viewer).contains(name), !deleted);
        QCOMPARE(listed(viewer).size(), deleted ? 2 : 3);
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

    void starInNameDeletesOnlyItself() {
        TempTree tree;
        tree.write("*.txt", "me");
        tree.write("a.txt", "not me");
        tree.write("b.txt", "not me");
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, "*.txt"));
        MsgBoxRecorder boxes(Mb::Yes);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QVERIFY(!QFile::exists(tree.file("*.txt")));
        QCOMPARE(listed(viewer), (QStringList{"a.txt", "b.txt"}));
        QCOMPARE(QDir(tree.path()).entryList(QDir::Files), (QStringList{"a.txt", "b.txt"}));
    }
};

QTEST_MAIN(DeleteTest)
#include "tst_delete.moc"
