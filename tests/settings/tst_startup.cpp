#include "SettingsTestKit.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/PictureBox.h"
#include "shell/TheViewer.h"
#include "shell/frmSplash.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QtTest>

namespace {

QStringList titles(const MsgBoxRecorder& recorder) {
    QStringList list;
    for (const auto& box : recorder.boxes)
        list << box.title + ":" + QString::number(box.code);
    return list;
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
        QCOMPARE(shownDuringBox, QList<bool>({false, false}));
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(kit::readAll(tree.file("viewer.ini")),
                 QByteArray::fromHex("4E6F0D0A0D0A5965730D0A5965730D0A"));
        QCOMPARE(kit::marked(*viewer), QStringList({"TextOFF", "SoundON", "VideoON"}));
        QCOMPARE(viewer->File1->Pattern(), kit::Pictures + kit::Sound + kit::Video);

        viewer->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!viewer);
    }

    // Each start that cannot restore the settings is a first start.
    void unrestorableStartIsFirstStart_data() {
        QTest::addColumn<QByteArray>("file"); // <T> stands for the temporary folder
        QTest::addColumn<bool>("cdromListed");
        QTest::newRow("three lines") << QByteArray("Yes\r\n<T>/\r\nNo\r\n") << false;
        QTest::newRow("gone folder") << QByteArray("Yes\r\n<T>/gone/\r\nNo\r\nNo\r\n") << false;
        // Not the folder before the NUL either; and the NUL is not written back.
        QTest::newRow("NUL in the folder line")
            << QByteArray("Yes\r\n<T>") + '\0' + "x\r\nNo\r\nNo\r\n"
            << false;
        QTest::newRow("folder on a removed disc")
            << QByteArray("Yes\r\n<T>/cdrom/disc/\r\nNo\r\nNo\r\n") << true;
    }
    void unrestorableStartIsFirstStart() {
        QFETCH(QByteArray, file);
        QFETCH(bool, cdromListed);
        TempTree tree;
        tree.write("viewer.ini", file.replace("<T>", tree.path().toUtf8()));
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
        QCOMPARE(kit::marked(v), QStringList({"TextOFF", "SoundON", "VideoON"}));
        QCOMPARE(v.Dir1->Path(), QDir::currentPath());
        QCOMPARE(v.File1->Path(), QDir::currentPath());
    }

    // quillory FILE-OR-FOLDER: the start runs as usual, then the lists move to
    // the folder, or to the file's folder with the file selected and shown.
    void startWithArgument_data() {
        QTest::addColumn<QString>("given"); // relative to the temporary folder
        QTest::addColumn<bool>("firstStart");
        QTest::addColumn<QString>("folder"); // where the lists end up
        QTest::addColumn<QString>("selected");
        QTest::newRow("folder") << "pics" << false << "pics"
                                << "";
        QTest::newRow("picture") << "pics/p60.bmp" << false << "pics"
                                 << "p60.bmp";
        QTest::newRow("picture on a first start") << "pics/p60.bmp" << true << "pics"
                                                  << "p60.bmp";
        QTest::newRow("file the filter leaves out") << "pics/note.txt" << false << "pics"
                                                    << "";
        QTest::newRow("missing file") << "pics/gone.bmp" << false << "home"
                                      << "";
    }
    void startWithArgument() {
        QFETCH(QString, given);
        QFETCH(bool, firstStart);
        QFETCH(QString, folder);
        QFETCH(QString, selected);
        TempTree tree;
        const QString home = tree.mkdir("home");
        tree.mkdir("pics");
        QImage picture(5, 3, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        for (int i = 0; i < 80; ++i)
            QVERIFY(picture.save(tree.file(QString("pics/p%1.bmp").arg(i, 2, 10, QChar('0')))));
        tree.write("pics/note.txt", "text");
        const QByteArray settings = "No\r\n" + (home + "/").toUtf8() + "\r\nYes\r\nYes\r\n";
        if (!firstStart) tree.write("viewer.ini", settings);
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        QPointer<TheViewer> viewer;
        const QString before = QDir::currentPath();
        QDir::setCurrent(tree.path()); // a relative argument is taken from here
        auto* splash = new frmSplash([&] { return viewer = new TheViewer; }, given);
        splash->show();
        splash->Timer1_Timer();
        QDir::setCurrent(before);
        QVERIFY(viewer && viewer->isVisible());
        QCOMPARE(titles(boxes),
                 firstStart ? QStringList({"Welcome..:64", "About..:64"}) : QStringList());
        if (!firstStart) QCOMPARE(kit::readAll(tree.file("viewer.ini")), settings);
        QCOMPARE(viewer->Dir1->Path(), tree.file(folder));
        QCOMPARE(viewer->File1->Path(), tree.file(folder));
        QCOMPARE(viewer->File1->FileName(), selected);
        QCOMPARE(viewer->Label1->text(), selected.isEmpty() ? QString() : tree.file(given));
        QTRY_VERIFY_WITH_TIMEOUT(!viewer->isPictureLoading(), 20000);
        QCOMPARE(viewer->Picture1->isVisible(), !selected.isEmpty());
        if (!selected.isEmpty()) {
            const QRect row = viewer->File1->visualRect(viewer->File1->currentIndex());
            QVERIFY(viewer->File1->viewport()->rect().contains(row));
        }
        delete viewer;
    }

    // The stored folder lies on another volume than the one the window starts on.
    void storedFolderRestoresAcrossVolumes() {
        TempTree tree;
        const QString usb = tree.mkdir("usb");
        const QString folder = tree.mkdir("usb/photos");
        for (const char* name : {"photo.jpg", "note.txt", "song.wav"})
            tree.write(QStringLiteral("usb/photos/") + name);
        tree.write("viewer.ini", "Yes\r\n" + (folder + "/").toUtf8() + "\r\nNo\r\nNo\r\n");
        kit::Sandbox sandbox(tree.path());
        Volumes::setProvider([&] { return QList<Volume>{{"root", "/"}, {"stick", usb}}; });
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        QCOMPARE(boxes.boxes.size(), 0);
        QCOMPARE(v.Drive1->volumeRoot(), usb);
        QCOMPARE(v.Dir1->Path(), folder);
        QCOMPARE(v.File1->Path(), folder);
        QCOMPARE(listed(*v.File1), QStringList({"note.txt", "photo.jpg"}));
        QCOMPARE(kit::marked(v), QStringList({"TextON", "SoundOFF", "VideoOFF"}));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
