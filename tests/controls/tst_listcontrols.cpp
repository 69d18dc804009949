#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "support/Checks.h"
#include "support/TempTree.h"
#include "system/PlatformError.h"
#include "system/Volumes.h"

#include <QSignalSpy>
#include <QtTest>

class ListControlsTest : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { Volumes::setProvider({}); }

    void fileListMatchesAndSorts() {
        TempTree tree;
        for (const char* name : {"b.JPG", "a.txt", "C.jpg", "d.wav", ".hidden.jpg", "e.jpeg"})
            tree.write(name);
        tree.mkdir("folder.jpg");
        FileListBox list;
        list.setPattern("*.jpg;*.txt");
        list.setPath(tree.path());
        QCOMPARE(listed(list), QStringList({"a.txt", "b.JPG", "C.jpg"}));
        QCOMPARE(list.Path(), tree.path());
        QCOMPARE(list.FileName(), QString()); // nothing selected after a re-read

        list.setPattern("*.wav");
        QCOMPARE(listed(list), QStringList({"d.wav"}));
    }

    // The list is read when its folder is set and on Refresh only; a folder
    // that cannot be read leaves it as it was.
    void fileListRereadsOnRefreshAndKeepsOnFailure() {
        TempTree tree;
        const QString gone = tree.write("gone.bmp");
        tree.write("stays.bmp");
        FileListBox list;
        list.setPattern("*.bmp");
        list.setPath(tree.path());
        QCOMPARE(list.ListCount(), 2); // read before the file goes
        QVERIFY(QFile::remove(gone));
        QCOMPARE(errorOf([&] { list.setPath(tree.file("missing")); }), Err::PathNotFound);
        QCOMPARE(list.Path(), tree.path());
        QCOMPARE(listed(list), QStringList({"gone.bmp", "stays.bmp"}));
        list.Refresh();
        QCOMPARE(listed(list), QStringList({"stays.bmp"}));
    }

    void fileListClickOnMouseAndKeyboard() {
        TempTree tree;
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            tree.write(name);
        FileListBox list;
        list.setPath(tree.path());
        list.resize(200, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicks(&list, &FileListBox::Click);

        const QRect first = list.visualRect(list.model()->index(0, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.FileName(), QString("a.bmp"));

        // The keyboard moves the selection at once; Click follows from the
        // event loop, once for where a run of presses leaves the selection.
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.FileName(), QString("b.bmp"));
        QCOMPARE(clicks.count(), 1);
        QTRY_COMPARE(clicks.count(), 2);
        QTest::keyClick(&list, Qt::Key_End);
        QTRY_COMPARE(clicks.count(), 3);
        QCOMPARE(list.FileName(), QString("c.bmp"));
        QTest::keyClick(&list, Qt::Key_Down); // already at the end: no move, no click
        QTest::qWait(20);
        QCOMPARE(clicks.count(), 3);
        QTest::keyClick(&list, Qt::Key_Up);
        QTest::keyClick(&list, Qt::Key_Up);
        QString clickedOn;
        connect(&list, &FileListBox::Click, &list, [&] { clickedOn = list.FileName(); });
        QTRY_COMPARE(clicks.count(), 4);
        QCOMPARE(clickedOn, QString("a.bmp"));
        QTest::qWait(20);
        QCOMPARE(clicks.count(), 4);
    }

    void fileListRefusesNegativeHeight() {
        FileListBox list;
        list.setHeight(1500);
        QCOMPARE(list.height(), 100);
        QCOMPARE(errorOf([&] { list.setHeight(-15); }), Err::InvalidPropertyValue);
        QCOMPARE(list.height(), 100);
    }

    // Change comes only when another folder opens; one that cannot be opened
    // keeps the folder open.
    void folderListChangesOnlyOnRealChange() {
        TempTree tree;
        tree.mkdir("sub/deeper");
        tree.write("plain-file");
        DirListBox dir;
        QSignalSpy changes(&dir, &DirListBox::Change);
        dir.setPath(tree.path());
        QCOMPARE(changes.count(), 1);
        dir.setPath(tree.path() + "/");
        dir.setPath(tree.path());
        QCOMPARE(errorOf([&] { dir.setPath(tree.file("missing")); }), Err::PathNotFound);
        QCOMPARE(errorOf([&] { dir.setPath(tree.file("plain-file")); }), Err::PathNotFound);
        QCOMPARE(dir.Path(), tree.path());
        QCOMPARE(changes.count(), 1);
        dir.setPath(tree.file("sub"));
        QCOMPARE(dir.Path(), tree.file("sub"));
        QCOMPARE(changes.count(), 2);
        dir.setPath("/");
        QCOMPARE(dir.Path(), QString("/"));
    }

    // The folder list shows the open folder with as many ancestors above it as
    // fit, set before the list is shown (as at a start) and after resizes.
    void folderListShowsOpenFolderAndAncestors_data() {
        QTest::addColumn<int>("depth");
        QTest::newRow("ancestors fit") << 1;
        QTest::newRow("ancestors overflow") << 14;
    }
    void folderListShowsOpenFolderAndAncestors() {
        QFETCH(int, depth);
        TempTree tree;
        QString open = tree.path();
        for (int i = 0; i < depth; ++i)
            open += QString("/level%1").arg(i);
        for (int i = 0; i < 30; ++i)
            tree.mkdir(open.mid(tree.path().size() + 1) + QString("/sub%1").arg(i));
        QWidget window;
        DirListBox dir(&window);
        dir.setGeometry(0, 0, 169, 186); // the main window's folder list
        dir.setPath(open);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int height : {186, 300, 120}) {
            dir.resize(169, height);
            QCoreApplication::processEvents();
            const QRect view = dir.viewport()->rect();
            const QRect openRect = dir.visualRect(dir.model()->index(dir.OpenRow(), 0));
            QVERIFY(view.contains(openRect));
            const int top = dir.indexAt(QPoint(1, 1)).row();
            // Either the root is at the top, or the rows above fill the view.
            QVERIFY2(top == 0 || view.bottom() - openRect.bottom() < openRect.height(),
                     qPrintable(QString("top %1 at height %2").arg(top).arg(height)));
        }
    }

    void folderListOpensOnDoubleClickOnly() {
        TempTree tree;
        tree.mkdir("child");
        DirListBox dir;
        dir.setPath(tree.path());
        dir.resize(300, 400);
        dir.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dir));
        QCOMPARE(dir.List(dir.OpenRow()), tree.path());
        QCOMPARE(dir.List(dir.OpenRow() + 1), tree.file("child"));
        QCOMPARE(dir.List(0), QString("/"));
        const QPoint at = dir.visualRect(dir.model()->index(dir.OpenRow() + 1, 0)).center();
        QTest::mouseClick(dir.viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(dir.Path(), tree.path());
        QTest::mouseDClick(dir.viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(dir.Path(), tree.file("child"));
    }

    // A volume whose medium is gone is listed, and the folder list refuses it with 68.
    void driveListChoosesHoldingVolume() {
        TempTree tree;
        const QString usb = tree.mkdir("usb"), gone = tree.file("unplugged");
        Volumes::setProvider([&] {
            return QList<Volume>{{"root", "/"}, {"stick", usb}, {"cdrom", gone}};
        });
        DriveListBox drive;
        QSignalSpy changes(&drive, &DriveListBox::Change);
        drive.setDrive(usb + "/photos/2026");
        QCOMPARE(drive.volumeRoot(), usb);
        QCOMPARE(drive.Drive(), usb); // the current folder is elsewhere: the root
        QCOMPARE(changes.count(), 1);
        drive.setDrive(usb);
        QCOMPARE(changes.count(), 1);
        drive.setDrive(tree.path()); // "/" holds the temporary folder itself
        QCOMPARE(drive.volumeRoot(), QString("/"));
        QCOMPARE(drive.Drive(), QDir::currentPath());
        QCOMPARE(changes.count(), 2);
        DirListBox dir;
        dir.setPath(tree.path());
        drive.setDrive(gone);
        QCOMPARE(drive.Drive(), gone);
        QCOMPARE(errorOf([&] { dir.setPath(drive.Drive()); }), Err::DeviceUnavailable);
        QCOMPARE(dir.Path(), tree.path());
    }
};

QTEST_MAIN(ListControlsTest)
#include "tst_listcontrols.moc"
