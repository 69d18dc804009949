#include "SettingsTestKit.h"
#include "platform/DirListBox.h"
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
    // go back as the file holds them.
    void exitStoresShownFolder_data() {
        QTest::addColumn<QString>("relative"); // "/" for the root
        QTest::addColumn<QByteArray>("line2"); // <T> stands for the temporary folder
        QTest::newRow("root") << "/" << QByteArray("/");
        QTest::newRow("deeper folder") << "sub/deeper" << QByteArray("<T>/sub/deeper/");
        QTest::newRow("folder with a comma") << "a,b" << QByteArray("\"<T>/a,b/\"");
        QTest::newRow("folder with a quote") << "say \"hi\"" << QByteArray("<T>/say \"hi\"/");
    }
    void exitStoresShownFolder() {
        QFETCH(QString, relative);
        QFETCH(QByteArray, line2);
        TempTree tree;
        const QString shown = relative == "/" ? relative : tree.mkdir(relative);
        const QString ini = tree.write("viewer.ini", kit::DefaultFile);
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        v.show();
        tree.write("viewer.ini", "Yes\r\n/old/\r\nyes\r\nNo\r\n");
        v.Dir1->setPath(shown);

        v.FileExit->trigger();
        const QByteArray expected =
            "Yes\r\n" + line2.replace("<T>", tree.path().toUtf8()) + "\r\nyes\r\nNo\r\n";
        QCOMPARE(kit::readAll(ini), expected);
        QCOMPARE((QStringList{Module::TextFiles, Module::SoundFiles, Module::VideoFiles}),
                 QStringList({"Yes", "yes", "No"}));
        QCOMPARE(sandbox.ends, 1);
        QVERIFY(!v.isVisible());

        // The window's end after Exit stores nothing more.
        v.Dir1->setPath(tree.path());
        QCloseEvent close;
        QCoreApplication::sendEvent(&v, &close);
        QCOMPARE(kit::readAll(ini), expected);
        QCOMPARE(boxes.boxes.size(), 0);

        // And the next start finds the folder whole.
        TheViewer next;
        next.Load();
        QCOMPARE(next.Dir1->Path(), shown);
        QCOMPARE(boxes.boxes.size(), 0);
    }

    void closingStoresShownFolder_data() {
        QTest::addColumn<bool>("removeFile");
        QTest::newRow("file in place") << false;
        QTest::newRow("file removed during the run") << true;
    }
    void closingStoresShownFolder() {
        QFETCH(bool, removeFile);
        TempTree tree;
        const QString sub = tree.mkdir("sub");
        const QString ini = tree.write("viewer.ini", "Yes\r\n\r\nNo\r\nYes\r\n");
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        v.show();
        v.Dir1->setPath(sub);
        if (removeFile) QVERIFY(QFile::remove(ini));
        QVERIFY(v.close());
        QCOMPARE(kit::readAll(ini), "Yes\r\n" + (sub + "/").toUtf8() + "\r\nNo\r\nYes\r\n");
        QCOMPARE(sandbox.ends, 0);
        QCOMPARE(boxes.boxes.size(), 0);
    }

    void exitEndsWhenFileIsGone() {
        TempTree tree;
        const QString ini = tree.write("viewer.ini", "No\r\n\r\nNo\r\nNo\r\n");
        kit::Sandbox sandbox(tree.path());
        TheViewer v;
        v.Load();
        v.Dir1->setPath(tree.path());
        QVERIFY(QFile::remove(ini));
        v.FileExit_Click();
        QCOMPARE(kit::readAll(ini), "No\r\n" + (tree.path() + "/").toUtf8() + "\r\nNo\r\nNo\r\n");
        QCOMPARE(sandbox.ends, 1);
    }
};

QTEST_MAIN(ExitTest)
#include "tst_exit.moc"
