#include "ViewerSteps.h"
#include "media/GstPlayer.h"
#include "controls/MediaControl.h"
#include "controls/MessageBox.h"
#include "controls/PictureBox.h"
#include "shell/Module.h"
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

const QString Confirm = QStringLiteral("Do you really want to delete this file?");
const QString SelectOne = QStringLiteral("Please select a file to delete|48|Error..");

// Headless, the sound goes to a silent output and still plays.
bool becomesPlaying(MediaControl* media) {
    return QTest::qWaitFor([media] { return media->player() && media->player()->isPlaying(); },
                           30000);
}

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
        const QString sound = tree.write("tone.wav", MediaFixtures::wav(3));
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
            stoppedBeforeMessage = !viewer.MMControl1->isOpen() && !viewer.MMControl1->player();
        });
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), SelectOne);
        QVERIFY(stoppedBeforeMessage);
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
        tree.write("playing.wav", MediaFixtures::wav(3));
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
        QVERIFY(!viewer.MMControl1->player()); // closing takes the pipeline down
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
        QVERIFY(tree.writeRaw(gone, "me"));
        QVERIFY(tree.writeRaw(stays, "not me"));
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QCOMPARE(viewer.File1->ListCount(), 2);
        viewer.File1->selectIndex(row);
        MsgBoxRecorder boxes(Mb::Yes);
        viewer.FileDel_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), Confirm + "|4|" + QString("bad\uFFFD.txt"));
        QCOMPARE(tree.readRaw(gone), QByteArray("<unreadable>"));
        QCOMPARE(tree.readRaw(stays), QByteArray("not me"));
        QCOMPARE(viewer.File1->ListCount(), 1);
    }

    // Yes deletes just the selected file: a star in its name matches nothing
    // else. A file gone meanwhile says so; read-only (owner's write bit off)
    // holds for root too and, like any other refusal, is silent. The list is
    // re-read only after a deletion.
    void yesDeletesOnlyTheSelectedFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("onDisk");
        QTest::addColumn<QStringList>("listedAfter");
        const QString ask = Confirm + "|4|";
        const QStringList all{"*.txt", "a.txt", "b.txt"};
        QTest::newRow("star in the name")
            << "*.txt"
            << "" << QStringList{ask + "*.txt"} << QStringList{"a.txt", "b.txt"}
            << QStringList{"a.txt", "b.txt"};
        QTest::newRow("gone behind our back") << "a.txt"
                                              << "remove" << QStringList{ask + "a.txt", SelectOne}
                                              << QStringList{"*.txt", "b.txt"} << all;
        QTest::newRow("read-only") << "a.txt"
                                   << "chmod" << QStringList{ask + "a.txt"} << all << all;
    }
    void yesDeletesOnlyTheSelectedFile() {
        QFETCH(QString, name);
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, onDisk);
        QFETCH(QStringList, listedAfter);
        TempTree tree;
        for (const char* file : {"*.txt", "a.txt", "b.txt"})
            tree.write(file, file);
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, name));
        if (meanwhile == "remove") QVERIFY(QFile::remove(tree.file(name)));
        if (meanwhile == "chmod")
            QCOMPARE(::chmod(QFile::encodeName(tree.file(name)).constData(), 0444), 0);
        MsgBoxRecorder recorder(Mb::Yes);
        viewer.FileDel_Click();
        QStringList shown;
        for (const auto& box : recorder.boxes)
            shown << describe(box);
        QCOMPARE(shown, boxes);
        QCOMPARE(QDir(tree.path()).entryList(QDir::Files), onDisk);
        QCOMPARE(listed(viewer), listedAfter);
    }
};

QTEST_MAIN(DeleteTest)
#include "tst_delete.moc"
