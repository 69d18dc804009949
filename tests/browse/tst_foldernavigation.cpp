#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "shell/TheViewer.h"
#include "support/Checks.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"
#include "system/Volumes.h"

#include <QSignalSpy>
#include <QtTest>

class FolderNavigationTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { Volumes::setProvider({}); }

    // Opening a folder moves the file list there; opening it again, by the
    // folder or the drive list, runs nothing.
    void openingAFolderMovesTheFileList() {
        TempTree tree;
        tree.write("a/one.bmp");
        tree.write("a/skip.wav");
        tree.write("b/two.BMP");
        TheViewer viewer;
        viewer.File1->setPattern("*.bmp");
        viewer.Dir1->setPath(tree.file("a"));
        QCOMPARE(viewer.File1->Path(), tree.file("a"));
        QCOMPARE(listed(*viewer.File1), QStringList({"one.bmp"}));
        viewer.Dir1->setPath(tree.file("b"));
        QCOMPARE(viewer.File1->Path(), tree.file("b"));
        QCOMPARE(listed(*viewer.File1), QStringList({"two.BMP"}));
        QCOMPARE(viewer.File1->Pattern(), QString("*.bmp")); // navigation keeps the filter
        tree.write("b/later.bmp");
        QSignalSpy changes(viewer.Dir1, &DirListBox::Change);
        viewer.Dir1->setPath(tree.file("b"));
        viewer.Drive1->setDrive(tree.file("b"));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(listed(*viewer.File1), QStringList({"two.BMP"})); // not re-read
    }

    void driveChangeRunsTheWholeChain() {
        TempTree tree;
        const QString volume = tree.mkdir("stick");
        tree.write("stick/song.bmp");
        Volumes::setProvider([&] { return QList<Volume>{{"root", "/"}, {"stick", volume}}; });
        TheViewer viewer;
        viewer.File1->setPattern("*.bmp");
        MsgBoxRecorder boxes;
        viewer.Drive1->setDrive(volume);
        // All within the one assignment: folder list and file list already moved.
        QCOMPARE(viewer.Dir1->Path(), volume);
        QCOMPARE(viewer.File1->Path(), volume);
        QCOMPARE(listed(*viewer.File1), QStringList({"song.bmp"}));
        viewer.Drive1->setDrive("/");
        QCOMPARE(viewer.Dir1->Path(), QDir::currentPath()); // that volume's current folder
        QCOMPARE(viewer.File1->Path(), QDir::currentPath());
        QCOMPARE(boxes.boxes.size(), 0);
    }

    void folderGoneBeforeTheFileListReadsIt() {
        TempTree tree;
        tree.write("stay/kept.bmp");
        const QString doomed = tree.mkdir("stay/doomed");
        TheViewer viewer;
        viewer.File1->setPattern("*.bmp");
        viewer.Dir1->setPath(tree.file("stay"));
        QCOMPARE(listed(*viewer.File1), QStringList({"kept.bmp"}));
        // The folder vanishes between the folder list opening it and the file list reading it.
        QObject::disconnect(viewer.Dir1, &DirListBox::Change, &viewer, nullptr);
        connect(viewer.Dir1, &DirListBox::Change, &viewer, [&] {
            if (viewer.Dir1->Path() == doomed) QDir(doomed).removeRecursively();
        });
        connect(viewer.Dir1, &DirListBox::Change, &viewer, &TheViewer::Dir1_Change);
        MsgBoxRecorder boxes;
        viewer.Dir1->setPath(doomed);
        QCOMPARE(viewer.Dir1->Path(), tree.file("stay")); // back where the file list is
        QCOMPARE(viewer.File1->Path(), tree.file("stay"));
        QCOMPARE(listed(*viewer.File1), QStringList({"kept.bmp"}));
        QCOMPARE(boxes.boxes.size(), 0);
    }

    // A volume whose medium is gone says so, once; any other refusal (a
    // "volume" whose root is a plain file) is silent. The lists stay put.
    void refusedDrive_data() {
        QTest::addColumn<bool>("medium"); // false: the root is a plain file
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("missing medium")
            << true << QStringList{"Please insert a disk, this drive is not accessable|48|Error.."};
        QTest::newRow("plain file as root") << false << QStringList{};
    }
    void refusedDrive() {
        QFETCH(bool, medium);
        QFETCH(QStringList, boxes);
        TempTree tree;
        tree.write("here.bmp");
        const QString root = medium ? tree.file("no-disc") : tree.write("not-a-folder");
        Volumes::setProvider([&] { return QList<Volume>{{"root", "/"}, {"odd", root}}; });
        TheViewer viewer;
        viewer.File1->setPattern("*.bmp");
        viewer.Dir1->setPath(tree.path());
        MsgBoxRecorder recorder;
        viewer.Drive1->setDrive(root);
        if (medium) QCOMPARE(viewer.Drive1->volumeRoot(), root); // the drive list keeps it
        viewer.Drive1->setDrive(root);                           // no change, no second message
        QStringList shown;
        for (const auto& box : recorder.boxes)
            shown << describe(box);
        QCOMPARE(shown, boxes);
        QCOMPARE(viewer.Dir1->Path(), tree.path());
        QCOMPARE(viewer.File1->Path(), tree.path());
        QCOMPARE(listed(*viewer.File1), QStringList({"here.bmp"}));
    }
};

QTEST_MAIN(FolderNavigationTest)
#include "tst_foldernavigation.moc"
