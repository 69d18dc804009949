#include "SettingsTestKit.h"
#include "settings/SettingsLocation.h"
#include "support/TempTree.h"

#include <QProcess>
#include <QtTest>

namespace {

constexpr QFile::Permissions Open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                    QFile::ExeOther;

// Lines the helper printed, by their first word.
QStringList printed(const QByteArray& output, const QString& word) {
    QStringList found;
    for (const QString& line : QString::fromUtf8(output).split('\n'))
        if (line.startsWith(word + ' ')) found << line.mid(word.size() + 1);
    return found;
}

} // namespace

class SettingsPlaceTest : public QObject {
    Q_OBJECT
  private slots:
    // Run as user nobody: root may write into any folder.
    void readOnlyProgramFolder_data() {
        QTest::addColumn<QByteArray>("existing"); // viewer.ini shipped in the program folder
        QTest::addColumn<bool>("userFolderWritable");
        QTest::addColumn<QString>("appDir"); // <T> stands for the temporary folder
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("written"); // where the settings end up, empty: nowhere
        QTest::addColumn<QString>("filter");  // after sound was switched off
        QTest::newRow("falls back to the user's folder")
            << QByteArray() << true << "<T>/config/quillory/"
            << QStringList{"Welcome..:64", "About..:64"} << "<T>/config/quillory/viewer.ini"
            << kit::Pictures + kit::Video;
        QTest::newRow("program folder holds viewer.ini")
            << QByteArray("Yes\r\n\r\nYes\r\nYes\r\n") << true << "<T>/program/"
            << QStringList{"Error..:48"} << "" << kit::Pictures + kit::Text + kit::Video;
        QTest::newRow("neither can be written")
            << QByteArray() << false << "<T>/config/quillory/"
            << QStringList{"Error..:48", "Welcome..:64", "About..:64"} << ""
            << kit::Pictures + kit::Video;
    }
    void readOnlyProgramFolder() {
        QFETCH(QByteArray, existing);
        QFETCH(bool, userFolderWritable);
        QFETCH(QString, appDir);
        QFETCH(QStringList, boxes);
        QFETCH(QString, written);
        QFETCH(QString, filter);
        TempTree tree;
        QVERIFY(QFile::setPermissions(tree.path(), Open));
        const QString program = tree.mkdir("program");
        const QString config = tree.mkdir("config");
        QVERIFY(QFile::setPermissions(program, Open));
        QVERIFY(
            QFile::setPermissions(config, userFolderWritable ? Open | QFile::WriteOther : Open));
        if (!existing.isEmpty()) tree.write("program/viewer.ini", existing);

        QProcess helper;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", config);
        helper.setProcessEnvironment(env);
        helper.setWorkingDirectory(program);
        helper.start("setpriv",
                     {"--reuid=65534", "--regid=65534", "--clear-groups",
                      QCoreApplication::applicationDirPath() + "/settings_helper_settingsrun",
                      program});
        QVERIFY(helper.waitForFinished(120000));
        const QByteArray output = helper.readAllStandardOutput();
        QVERIFY2(helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0,
                 helper.readAllStandardError().right(2000).constData());

        appDir.replace("<T>", tree.path());
        QCOMPARE(printed(output, "APPDIR"), QStringList{appDir});
        QCOMPARE(printed(output, "BOX"), boxes);
        QCOMPARE(printed(output, "ENDS"), QStringList{"1"});
        // The options live on in memory, also where they cannot be saved.
        QCOMPARE(printed(output, "FILTER"), QStringList{filter});
        if (!existing.isEmpty())
            QCOMPARE(contentOf(tree.file("program/viewer.ini")), existing);
        else
            QVERIFY(!QFile::exists(tree.file("program/viewer.ini")));
        if (!written.isEmpty()) {
            written.replace("<T>", tree.path());
            QCOMPARE(contentOf(written), "No\r\n" + (program + "/").toUtf8() + "\r\nNo\r\nYes\r\n");
        } else {
            QVERIFY(!QFile::exists(tree.file("config/quillory/viewer.ini")));
        }
    }
};

QTEST_MAIN(SettingsPlaceTest)
#include "tst_settingsplace.moc"
