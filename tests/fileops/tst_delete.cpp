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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Makes a file whose name is the given bytes, which need not be UTF-8.
bool writeRaw(const QString& folder, const QByteArray& name, const QByteArray& content) {
    const QByteArray path = QFile::encodeName(folder) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

bool existsRaw(const QString& folder, const QByteArray& name) {
    struct stat st {};
    return ::lstat((QFile::encodeName(folder) + '/' + name).constData(), &st) == 0;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Closing takes the player, and with it the pipeline, down.
bool isStopped(MediaControl* media) { return !media->player(); }

} // namespace

class DeleteTest : public QObject {
    Q_OBJECT
    // The user's home and data folder, where the desktop's trash lives.
    TempTree home_;
    QString trash() const { return home_.file("data/Trash"); }

  private slots:
    void initTestCase() {
        qputenv("HOME", home_.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", home_.file("data").toLocal8Bit());
    }
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
        if (picture) QTRY_VERIFY_WITH_TIMEOUT(viewer.Picture1->isVisibleTo(&viewer), 20000);
        if (!picture) QVERIFY(becomesPlaying(viewer.MMControl1));

        const QByteArray before = contentOf(tree.file(name));
        MsgBoxRecorder boxes(answer);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), Confirm + "|4|" + name);
        const bool deleted = answer == Mb::Yes;
        QCOMPARE(QFile::exists(tree.file(name)), !deleted);
        // A deleted file waits in the trash, with what the file manager needs to restore it.
        const QString trashed = trash() + "/files/" + name;
        QCOMPARE(QFile::exists(trashed), deleted);
        if (deleted) {
            QCOMPARE(contentOf(trashed), before);
            QFile info(trash() + "/info/" + name + ".trashinfo");
            QVERIFY(info.open(QIODevice::ReadOnly));
            QVERIFY(
                info.readAll().contains("Path=" + QUrl::toPercentEncoding(tree.file(name), "/")));
            QVERIFY(QFile::remove(trashed) && info.remove());
        }
        QCOMPARE(listed(viewer).contains(name), !deleted);
        QCOMPARE(listed(viewer).size(), deleted ? 2 : 3);
        QVERIFY(!viewer.MMControl1->isOpen());
        QVERIFY(isStopped(viewer.MMControl1));
        // What the window showed of the file stays until another is shown.
        QCOMPARE(viewer.Label1->text(), tree.file(name));
        QCOMPARE(viewer.Picture1->isVisibleTo(&viewer), picture);
        if (picture) QCOMPARE(viewer.Picture1->Picture().size(), QSize(8, 6));
    }

    // Where no trash can be had, Delete deletes for good, as it always did.
    void noTrashDeletesForGood() {
        TempTree tree;
        tree.write("gone.txt", "x");
        tree.write("stays.txt", "y");
        const QString blocker = home_.write("not-a-folder", "where the data folder would be");
        qputenv("XDG_DATA_HOME", (blocker + "/data").toLocal8Bit());
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, "gone.txt"));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(home_.mkdir("work")));
        MsgBoxRecorder boxes(Mb::Yes);
        viewer.FileDel_Click();
        qputenv("XDG_DATA_HOME", home_.file("data").toLocal8Bit());
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(boxes.boxes.size(), 1);
        QVERIFY(!QFile::exists(tree.file("gone.txt")));
        QCOMPARE(listed(viewer), QStringList{"stays.txt"});
        QVERIFY(!QFileInfo::exists(blocker + "/data"));
        // Not moved somewhere else instead, such as the working folder.
        QCOMPARE(QDir(home_.file("work")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
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

    // Two names that differ only in bytes that are not UTF-8: each row of the
    // list deletes its own file, never the other.
    void rawNameDeletesOnlyItself_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("gone");
        QTest::addColumn<QByteArray>("stays");
        QTest::newRow("Latin-1 byte")
            << 0 << QByteArray("bad\xff.txt") << QByteArray("bad\xef\xbf\xbd.txt");
        QTest::newRow("replacement character")
            << 1 << QByteArray("bad\xef\xbf\xbd.txt") << QByteArray("bad\xff.txt");
    }
    void rawNameDeletesOnlyItself() {
        QFETCH(int, row);
        QFETCH(QByteArray, gone);
        QFETCH(QByteArray, stays);
        TempTree tree;
        QVERIFY(writeRaw(tree.path(), gone, "me"));
        QVERIFY(writeRaw(tree.path(), stays, "not me"));
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QCOMPARE(viewer.File1->ListCount(), 2);
        viewer.File1->selectIndex(row);
        MsgBoxRecorder boxes(Mb::Yes);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), Confirm + "|4|" + QString("bad\uFFFD.txt"));
        QVERIFY(!existsRaw(tree.path(), gone));
        QVERIFY(existsRaw(tree.path(), stays));
        QCOMPARE(viewer.File1->ListCount(), 1);
    }

    // Read-only (owner's write bit off) holds for root too: like any refusal
    // other than a vanished file, it is silent and the list is not re-read.
    void readOnlyFileStays() {
        TempTree tree;
        const QString kept = tree.write("kept.txt", "x");
        QCOMPARE(::chmod(QFile::encodeName(kept).constData(), 0444), 0);
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, "kept.txt"));
        MsgBoxRecorder boxes(Mb::Yes);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), Confirm + "|4|kept.txt");
        QVERIFY(QFile::exists(kept));
        QCOMPARE(listed(viewer), QStringList{"kept.txt"});
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
