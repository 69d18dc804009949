#include "SettingsTestKit.h"
#include "platform/DirListBox.h"
#include "shell/TheViewer.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QAction>
#include <QtTest>

namespace {

QAction* item(TheViewer& v, const QString& name) {
    const QMap<QString, QAction*> items{{"TextON", v.TextON},   {"TextOFF", v.TextOFF},
                                        {"SoundON", v.SoundON}, {"SoundOFF", v.SoundOFF},
                                        {"VideoON", v.VideoON}, {"VideoOFF", v.VideoOFF}};
    return items.value(name);
}

QStringList marked(TheViewer& v) {
    QStringList names;
    for (const char* name : {"TextON", "TextOFF", "SoundON", "SoundOFF", "VideoON", "VideoOFF"})
        if (item(v, name)->isChecked()) names << name;
    return names;
}

} // namespace

class TypeFiltersTest : public QObject {
    Q_OBJECT
  private slots:
    void patternFollowsOptions_data() {
        using namespace kit;
        QTest::addColumn<QStringList>("options"); // text, sound, video
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("marks");
        QTest::addColumn<QStringList>("names");
        const auto row = [](const char* name, const QStringList& options, const QString& filter,
                            const QStringList& marks, const QStringList& names) {
            QTest::newRow(name) << options << filter << marks << names;
        };
        row("none", {"No", "No", "No"}, Pictures, {"TextOFF", "SoundOFF", "VideoOFF"}, {"a.jpg"});
        row("text", {"Yes", "No", "No"}, Pictures + Text, {"TextON", "SoundOFF", "VideoOFF"},
            {"a.jpg", "b.txt", "g.doc"});
        row("sound", {"No", "Yes", "No"}, Pictures + Sound, {"TextOFF", "SoundON", "VideoOFF"},
            {"a.jpg", "c.wav", "e.MID"});
        row("video", {"No", "No", "Yes"}, Pictures + Video, {"TextOFF", "SoundOFF", "VideoON"},
            {"a.jpg", "d.avi"});
        row("text and sound", {"Yes", "Yes", "No"}, Pictures + Text + Sound,
            {"TextON", "SoundON", "VideoOFF"}, {"a.jpg", "b.txt", "c.wav", "e.MID", "g.doc"});
        row("text and video", {"Yes", "No", "Yes"}, Pictures + Text + Video,
            {"TextON", "SoundOFF", "VideoON"}, {"a.jpg", "b.txt", "d.avi", "g.doc"});
        row("defaults: sound and video", {"No", "Yes", "Yes"}, Pictures + Sound + Video,
            {"TextOFF", "SoundON", "VideoON"}, {"a.jpg", "c.wav", "d.avi", "e.MID"});
        row("all", {"Yes", "Yes", "Yes"}, Pictures + Text + Sound + Video,
            {"TextON", "SoundON", "VideoON"},
            {"a.jpg", "b.txt", "c.wav", "d.avi", "e.MID", "g.doc"});
        row("yes in other cases is off", {"yes", "YES", " Yes"}, Pictures,
            {"TextOFF", "SoundOFF", "VideoOFF"}, {"a.jpg"});
        row("empty is off", {"", "", "Yes"}, Pictures + Video, {"TextOFF", "SoundOFF", "VideoON"},
            {"a.jpg", "d.avi"});
    }
    void patternFollowsOptions() {
        QFETCH(QStringList, options);
        QFETCH(QString, filter);
        QFETCH(QStringList, marks);
        QFETCH(QStringList, names);
        TempTree tree;
        for (const char* name : {"a.jpg", "b.txt", "c.wav", "d.avi", "e.MID", "f.png", "g.doc"})
            tree.write(name);
        TheViewer v;
        v.Dir1->setPath(tree.path());
        Module::TextFiles = options[0];
        Module::SoundFiles = options[1];
        Module::VideoFiles = options[2];
        v.pattern();
        Module::reset();
        QCOMPARE(v.File1->Pattern(), filter);
        QCOMPARE(marked(v), marks);
        QCOMPARE(kit::listed(*v.File1), names);
        QCOMPARE(v.Dir1->Path(), tree.path());
        QCOMPARE(v.File1->Path(), tree.path());
    }

    void optionClicks_data() {
        using namespace kit;
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("marks");
        const QByteArray allOff("No\r\n\r\nNo\r\nNo\r\n");
        const QByteArray allOn("Yes\r\n\r\nYes\r\nYes\r\n");
        const QByteArray oddSound("No\r\n\r\nyes\r\nYes\r\n");
        const QByteArray bareLineEnds("No\n\nYes\nYes\n");
        QTest::newRow("sound off")
            << DefaultFile << QStringList{"SoundOFF"} << QByteArray("No\r\n\r\nNo\r\nYes\r\n")
            << Pictures + Video << QStringList{"TextOFF", "SoundOFF", "VideoON"};
        QTest::newRow("text on") << DefaultFile << QStringList{"TextON"} << allOn
                                 << Pictures + Text + Sound + Video
                                 << QStringList{"TextON", "SoundON", "VideoON"};
        // A write would turn the bare line ends into CR LF.
        QTest::newRow("marked items write nothing")
            << bareLineEnds << QStringList{"SoundON", "TextOFF", "VideoON"} << bareLineEnds
            << Pictures + Sound + Video << QStringList{"TextOFF", "SoundON", "VideoON"};
        QTest::newRow("odd yes: OFF is marked already")
            << oddSound << QStringList{"SoundOFF"} << oddSound << Pictures + Video
            << QStringList{"TextOFF", "SoundOFF", "VideoON"};
        QTest::newRow("odd yes: ON stores Yes")
            << oddSound << QStringList{"SoundOFF", "SoundON"} << DefaultFile
            << Pictures + Sound + Video << QStringList{"TextOFF", "SoundON", "VideoON"};
        QTest::newRow("on in order video, text, sound")
            << allOff << QStringList{"VideoON", "TextON", "SoundON"} << allOn
            << Pictures + Text + Sound + Video << QStringList{"TextON", "SoundON", "VideoON"};
    }
    void optionClicks() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, clicks);
        QFETCH(QByteArray, after);
        QFETCH(QString, filter);
        QFETCH(QStringList, marks);
        TempTree tree;
        const QString ini = tree.write("viewer.ini", file);
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        // trigger() goes through Qt's own toggle of a checkable item.
        for (const QString& click : clicks)
            item(v, click)->trigger();
        QCOMPARE(kit::readAll(ini), after);
        QCOMPARE(v.File1->Pattern(), filter);
        QCOMPARE(marked(v), marks);
        QCOMPARE(boxes.boxes.size(), 0);
    }

    void markedItemReappliesHandEditedFile() {
        TempTree tree;
        const QString ini = tree.write("viewer.ini", kit::DefaultFile);
        kit::Sandbox sandbox(tree.path());
        TheViewer v;
        v.Load();
        const QByteArray edited("Yes\r\n\r\nNo\r\nNo\r\n");
        tree.write("viewer.ini", edited);
        v.TextOFF->trigger(); // still marked: the file's values take effect, nothing is written
        QCOMPARE(kit::readAll(ini), edited);
        QCOMPARE(v.File1->Pattern(), kit::Pictures + kit::Text);
        QCOMPARE(marked(v), QStringList({"TextON", "SoundOFF", "VideoOFF"}));
        QCOMPARE((QStringList{Module::TextFiles, Module::SoundFiles, Module::VideoFiles}),
                 QStringList({"Yes", "No", "No"}));
    }

    void videoOffKeepsStoredFolderLine() {
        TempTree tree;
        const QString stored = tree.mkdir("stored");
        const QString elsewhere = tree.mkdir("elsewhere");
        const QByteArray line2 = (stored + "/").toUtf8();
        const QString ini = tree.write("viewer.ini", "Yes\r\n" + line2 + "\r\nNo\r\nYes\r\n");
        kit::Sandbox sandbox(tree.path());
        TheViewer v;
        v.Load();
        QCOMPARE(v.Dir1->Path(), stored);
        v.Dir1->setPath(elsewhere);
        v.VideoOFF->trigger();
        QCOMPARE(kit::readAll(ini), "Yes\r\n" + line2 + "\r\nNo\r\nNo\r\n");
        QCOMPARE(v.Dir1->Path(), elsewhere);
        QCOMPARE(v.File1->Path(), elsewhere);
    }

    void fileSpoiledDuringRunIsWrittenAnew_data() {
        QTest::addColumn<QByteArray>("spoiled"); // null: removed
        QTest::addColumn<QString>("click");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("removed, marked item") << QByteArray() << "SoundON" << kit::DefaultFile;
        QTest::newRow("removed, text on")
            << QByteArray() << "TextON" << QByteArray("Yes\r\n\r\nYes\r\nYes\r\n");
        QTest::newRow("three lines, video off") << QByteArray("Yes\r\n\r\nNo\r\n") << "VideoOFF"
                                                << QByteArray("No\r\n\r\nYes\r\nNo\r\n");
    }
    void fileSpoiledDuringRunIsWrittenAnew() {
        QFETCH(QByteArray, spoiled);
        QFETCH(QString, click);
        QFETCH(QByteArray, after);
        TempTree tree;
        const QString ini = tree.write("viewer.ini", kit::DefaultFile);
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        if (spoiled.isNull())
            QVERIFY(QFile::remove(ini));
        else
            tree.write("viewer.ini", spoiled);
        item(v, click)->trigger();
        QCOMPARE(kit::readAll(ini), after);
        QCOMPARE(boxes.boxes.size(), 0);
    }
};

QTEST_MAIN(TypeFiltersTest)
#include "tst_typefilters.moc"
