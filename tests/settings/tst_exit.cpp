#include "SettingsTestKit.h"
#include "controls/DirListBox.h"
#include "shell/TheViewer.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QAction>
#include <QCloseEvent>
#include <QtTest>

class ExitTest : public QObject {
    Q_OBJECT
  private slots:
    // Exit after a hand edit: line 2 becomes the folder shown, the other lines
    // go back as the file holds them. Closing the window instead stores the
    // options in memory, also when the file went away.
    void endStoresShownFolder_data() {
        QTest::addColumn<bool>("viaExit");
        QTest::addColumn<QString>("relative");    // "/" for the root
        QTest::addColumn<QByteArray>("expected"); // <T> stands for the temporary folder
        QTest::newRow("exit, root") << true << "/" << QByteArray("Yes\r\n/\r\nyes\r\nNo\r\n");
        QTest::newRow("exit, deeper folder")
            << true << "sub/deeper" << QByteArray("Yes\r\n<T>/sub/deeper/\r\nyes\r\nNo\r\n");
        QTest::newRow("close, file removed")
            << false << "sub" << QByteArray("No\r\n<T>/sub/\r\nYes\r\nYes\r\n");
    }
    void endStoresShownFolder() {
        QFETCH(bool, viaExit);
        QFETCH(QString, relative);
        QFETCH(QByteArray, expected);
        TempTree tree;
        const QString shown = relative == "/" ? relative : tree.mkdir(relative);
        const QString ini = tree.write("viewer.ini", kit::DefaultFile);
        expected.replace("<T>", tree.path().toUtf8());
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        v.show();
        v.Dir1->setPath(shown);
        if (viaExit) {
            tree.write("viewer.ini", "Yes\r\n/old/\r\nyes\r\nNo\r\n");
            v.FileExit->trigger();
            QCOMPARE(contentOf(ini), expected);
            QVERIFY(!v.isVisible());
            // The window's end after Exit stores nothing more.
            v.Dir1->setPath(tree.path());
            QCloseEvent close;
            QCoreApplication::sendEvent(&v, &close);
        } else {
            QVERIFY(QFile::remove(ini));
            QVERIFY(v.close());
        }
        QCOMPARE(contentOf(ini), expected);
        QCOMPARE(sandbox.ends, viaExit ? 1 : 0);
        // And the next start finds the folder whole.
        TheViewer next;
        next.Load();
        QCOMPARE(next.Dir1->Path(), shown);
        QCOMPARE(boxes.boxes.size(), 0);
    }
};

QTEST_MAIN(ExitTest)
#include "tst_exit.moc"
