#include "SettingsTestKit.h"
#include "controls/DirListBox.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QtTest>

namespace {

QAction* item(const TheViewer& v, const QString& name) {
    for (const auto& [itemName, action] : kit::optionItems(v))
        if (itemName == name) return action;
    return nullptr;
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
        row("all", {"Yes", "Yes", "Yes"}, Pictures + Text + Sound + Video,
            {"TextON", "SoundON", "VideoON"},
            {"a.jpg", "b.txt", "c.wav", "d.avi", "e.MID", "g.doc"});
        row("yes in other cases is off", {"yes", "YES", " Yes"}, Pictures,
            {"TextOFF", "SoundOFF", "VideoOFF"}, {"a.jpg"});
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
        QCOMPARE(kit::marked(v), marks);
        QCOMPARE(listed(*v.File1), names);
    }

    void optionClicks_data() {
        using namespace kit;
        QTest::addColumn<QByteArray>("edited"); // written over the file after the start
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("marks");
        const QByteArray bareLineEnds("No\n\nYes\nYes\n");
        const QByteArray textOnly("Yes\r\n\r\nNo\r\nNo\r\n");
        QTest::newRow("sound off")
            << QByteArray() << QStringList{"SoundOFF"} << QByteArray("No\r\n\r\nNo\r\nYes\r\n")
            << Pictures + Video << QStringList{"TextOFF", "SoundOFF", "VideoON"};
        // A write would turn the bare line ends into CR LF.
        QTest::newRow("marked items write nothing")
            << bareLineEnds << QStringList{"SoundON", "TextOFF", "VideoON"} << bareLineEnds
            << Pictures + Sound + Video << QStringList{"TextOFF", "SoundON", "VideoON"};
        // Still marked: the hand-edited file's values take effect, nothing is written.
        QTest::newRow("marked item re-applies the file")
            << textOnly << QStringList{"TextOFF"} << textOnly << Pictures + Text
            << QStringList{"TextON", "SoundOFF", "VideoOFF"};
    }
    void optionClicks() {
        QFETCH(QByteArray, edited);
        QFETCH(QStringList, clicks);
        QFETCH(QByteArray, after);
        QFETCH(QString, filter);
        QFETCH(QStringList, marks);
        TempTree tree;
        const QString ini = tree.write("viewer.ini", kit::DefaultFile);
        kit::Sandbox sandbox(tree.path());
        MsgBoxRecorder boxes;
        TheViewer v;
        v.Load();
        if (!edited.isNull()) tree.write("viewer.ini", edited);
        // trigger() goes through Qt's own toggle of a checkable item.
        for (const QString& click : clicks)
            item(v, click)->trigger();
        QCOMPARE(contentOf(ini), after);
        QCOMPARE(v.File1->Pattern(), filter);
        QCOMPARE(kit::marked(v), marks);
        QCOMPARE(boxes.boxes.size(), 0);
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
        QCOMPARE(contentOf(ini), "Yes\r\n" + line2 + "\r\nNo\r\nNo\r\n");
        QCOMPARE(v.Dir1->Path(), elsewhere);
        QCOMPARE(v.File1->Path(), elsewhere);
    }
};

QTEST_MAIN(TypeFiltersTest)
#include "tst_typefilters.moc"
