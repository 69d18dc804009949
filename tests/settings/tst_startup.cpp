#include "SettingsTestKit.h"
#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "shell/AboutBox.h"
#include "shell/TheViewer.h"
#include "shell/frmSplash.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QAction>
#include <QPointer>
#include <QtTest>

namespace {

const QString Welcome =
    QStringLiteral("With the Quillory you can browse your drives for MultiMedia files...");

QStringList titles(const MsgBoxRecorder& recorder) {
    QStringList list;
    for (const auto& box : recorder.boxes)
        list << box.title + ":" + QString::number(box.code);
    return list;
}

QStringList marked(const TheViewer& v) {
    QStringList names;
    if (v.TextON->isChecked()) names << "TextON";
    if (v.TextOFF->isChecked()) names << "TextOFF";
    if (v.SoundON->isChecked()) names << "SoundON";
    if (v.SoundOFF->isChecked()) names << "SoundOFF";
    if (v.VideoON->isChecked()) names << "VideoON";
    if (v.VideoOFF->isChecked()) names << "VideoOFF";
    return names;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartGreetsBeforeWindowShows() {
        TempTree tree;
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        QPointer<TheViewer> viewer;
        QList<bool> shownDuringBox;
        boxes.onShow(
            [&](const MsgBoxRecorder::Box&) { shownDuringBox << (viewer && viewer->isVisible()); });
        auto* splash = new frmSplash([&] { return viewer = new TheViewer; });
        splash->show();
        splash->Timer1_Timer(); // the splash's two seconds are up

        QCOMPARE(titles(boxes), QStringList({"Welcome..:64", "About..:64"}));
        QCOMPARE(boxes.boxes[0].prompt, Welcome);
        QCOMPARE(boxes.boxes[1].prompt, aboutPrompt());
        QCOMPARE(shownDuringBox, QList<bool>({false, false}));
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(kit::readAll(tree.file("viewer.ini")),
                 QByteArray::fromHex("4E6F0D0A0D0A5965730D0A5965730D0A"));
        QCOMPARE(marked(*viewer), QStringList({"TextOFF", "SoundON", "VideoON"}));
        QCOMPARE(viewer->File1->Pattern(), kit::Pictures + kit::Sound + kit::Video);
        QCOMPARE(viewer->Dir1->Path(), QDir::currentPath());
        QCOMPARE(viewer->File1->Path(), QDir::currentPath());

        viewer->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!viewer);
    }

    // Each start that cannot restore the settings is a first start.
    void unrestorableStartIsFirstStart_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("file"); // <T> stands for the temporary folder
        QTest::addColumn<bool>("cdromListed");
        QTest::newRow("no file") << false << QByteArray() << false;
        QTest::newRow("three lines") << true << QByteArray("Yes\r\n<T>/\r\nNo\r\n") << false;
        QTest::newRow("gone folder")
            << true << QByteArray("Yes\r\n<T>/gone/\r\nNo\r\nNo\r\n") << false;
        // Written by the original program; only <T>/a is read, and it does not exist.
        QTest::newRow("comma shortens the folder")
            << true << QByteArray("Yes\r\n<T>/a,b/\r\nNo\r\nNo\r\n") << false;
        QTest::newRow("folder on a removed disc")
            << true << QByteArray("Yes\r\n<T>/cdrom/disc/\r\nNo\r\nNo\r\n") << true;
        QTest::newRow("folder is a file")
            << true << QByteArray("Yes\r\n<T>/a,b/x\r\nNo\r\nNo\r\n") << false;
    }
    void unrestorableStartIsFirstStart() {
        QFETCH(bool, present);
        QFETCH(QByteArray, file);
        QFETCH(bool, cdromListed);
        TempTree tree;
        tree.mkdir("a,b");
        tree.write("a,b/x");
        if (present) tree.write("viewer.ini", file.replace("<T>", tree.path().toUtf8()));
        kit::Sandbox sandbox(tree.path());
        if (cdromListed)
            Volumes::setProvider([&] {
                return QList<Volume>{{"root", "/"}, {"cdrom", tree.file("cdrom")}};
            });
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        QCOMPARE(titles(boxes), QStringList({"Welcome..:64", "About..:64"}));
        QCOMPARE(kit::readAll(tree.file("viewer.ini")), kit::DefaultFile);
        QCOMPARE((QStringList{Module::TextFiles, Module::SoundFiles, Module::VideoFiles}),
                 QStringList({"No", "Yes", "Yes"}));
        QCOMPARE(marked(v), QStringList({"TextOFF", "SoundON", "VideoON"}));
        QCOMPARE(v.Dir1->Path(), QDir::currentPath());
        QCOMPARE(v.File1->Path(), QDir::currentPath());
    }

    void storedFolderRestoresAllThreeLists_data() {
        QTest::addColumn<bool>("onStick"); // the folder lies on another volume
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("line2");
        QTest::newRow("same volume") << false << "photos"
                                     << "<T>/photos/";
        QTest::newRow("another volume") << true << "usb/photos"
                                        << "<T>/usb/photos/";
        QTest::newRow("quoted, with a comma") << false << "a,b/photos"
                                              << "\"<T>/a,b/photos/\"";
    }
    void storedFolderRestoresAllThreeLists() {
        QFETCH(bool, onStick);
        QFETCH(QString, relative);
        QFETCH(QString, line2);
        TempTree tree;
        const QString usb = tree.mkdir("usb");
        const QString folder = tree.file(relative);
        line2.replace("<T>", tree.path());
        for (const char* name : {"photo.jpg", "note.txt", "song.wav"})
            tree.write(relative + "/" + name);
        tree.write("viewer.ini", "Yes\r\n" + line2.toUtf8() + "\r\nNo\r\nNo\r\n");
        kit::Sandbox sandbox(tree.path());
        if (onStick)
            Volumes::setProvider([&] { return QList<Volume>{{"root", "/"}, {"stick", usb}}; });
        MsgBoxRecorder boxes;
        TheViewer v;
        QCOMPARE(v.Drive1->volumeRoot(), QString("/"));
        v.Load();
        QCOMPARE(boxes.boxes.size(), 0);
        QCOMPARE(v.Drive1->volumeRoot(), onStick ? usb : QString("/"));
        QCOMPARE(v.Dir1->Path(), folder);
        QCOMPARE(v.File1->Path(), folder);
        QCOMPARE(kit::listed(*v.File1), QStringList({"note.txt", "photo.jpg"}));
        QCOMPARE(marked(v), QStringList({"TextON", "SoundOFF", "VideoOFF"}));
    }

    void emptyFolderLineRestoresNothing() {
        TempTree tree;
        const QByteArray file("Yes\r\n\r\nNo\r\nNo\r\n");
        tree.write("viewer.ini", file);
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        QCOMPARE(boxes.boxes.size(), 0);
        QCOMPARE(v.Dir1->Path(), QDir::currentPath());
        QCOMPARE(v.File1->Pattern(), kit::Pictures + kit::Text);
        QCOMPARE(kit::readAll(tree.file("viewer.ini")), file);
    }

    void secondStartOpensWhereExitLeft() {
        TempTree tree;
        const QString sub = tree.mkdir("sub");
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        {
            TheViewer first;
            first.Load();
            first.Dir1->setPath(sub);
            first.FileExit->trigger();
        }
        QCOMPARE(boxes.boxes.size(), 2);
        TheViewer second;
        second.Load();
        QCOMPARE(boxes.boxes.size(), 2); // silent
        QCOMPARE(second.Dir1->Path(), sub);
        QCOMPARE(second.File1->Path(), sub);
        QCOMPARE(sandbox.ends, 1);
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
