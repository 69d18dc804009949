#include "SettingsTestKit.h"
#include "formats/SettingsFormat.h"
#include "settings/SettingsFile.h"
#include "support/TempTree.h"
#include "system/PlatformError.h"

#include <QtTest>

class SettingsFileTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        tree_ = std::make_unique<TempTree>();
        Module::AppDir = tree_->path() + "/";
    }
    void cleanup() {
        Module::reset();
        tree_.reset();
    }

    // A file that cannot be read leaves the options as they were (No, No, Yes).
    void readsItems_data() {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("items"); // text, folder, sound, video
        const auto row = [](const char* name, const QByteArray& file, int error,
                            const QStringList& items) {
            QTest::newRow(name) << file << error << items;
        };
        const int pastEnd = SettingsFormat::InputPastEndOfFile;
        row("default file", kit::DefaultFile, 0, {"No", "", "Yes", "Yes"});
        // A file written before folders were quoted: the comma splits line 2.
        row("comma in folder", "Yes\r\n/data/a,b/\r\nNo\r\nNo\r\n", 0,
            {"Yes", "/data/a", "b/", "No"});
        row("more than four lines", "No\r\n/x/\r\nYes\r\nYes\r\nextra\r\n\"more\r\n", 0,
            {"No", "/x/", "Yes", "Yes"});
        row("quoted folder", "No\r\n\" /a, \"\"b \"\r\nYes\r\nYes\r\n", 0,
            {"No", " /a, ", "Yes", "Yes"});
        row("other case kept as read", "yes\r\n\r\nmaybe\r\nYES\r\n", 0,
            {"yes", "", "maybe", "YES"});
        row("missing file", QByteArray(), Err::FileNotFound, {"No", "", "No", "Yes"});
        row("three lines", "Yes\r\n\r\nNo\r\n", pastEnd, {"No", "", "No", "Yes"});
        // The quote runs to the end of the file, taking the last two lines with it.
        row("quote never closed", "Yes\r\n\"/a/\r\nNo\r\nYes\r\n", pastEnd,
            {"No", "", "No", "Yes"});
    }
    void readsItems() {
        QFETCH(QByteArray, file);
        QFETCH(int, error);
        QFETCH(QStringList, items);
        if (!file.isNull()) tree_->write("viewer.ini", file);
        Module::TextFiles = "No";
        Module::SoundFiles = "No";
        Module::VideoFiles = "Yes";
        QString folder;
        int thrown = 0;
        try {
            folder = SettingsFile::read();
        } catch (const PlatformError& e) {
            thrown = e.number();
        }
        QCOMPARE(thrown, error);
        QCOMPARE((QStringList{Module::TextFiles, folder, Module::SoundFiles, Module::VideoFiles}),
                 items);
    }

    void folderLineAsWrittenAndReadBack_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("none") << "" << QByteArray("") << "";
        QTest::newRow("root") << "/" << QByteArray("/") << "/";
        QTest::newRow("deeper") << "/home/ann/" << QByteArray("/home/ann/") << "/home/ann/";
        QTest::newRow("comma") << "/data/a,b/" << QByteArray("\"/data/a,b/\"") << "/data/a,b/";
        QTest::newRow("quote inside")
            << "/say \"hi\"/" << QByteArray("/say \"hi\"/") << "/say \"hi\"/";
        QTest::newRow("leading quote") << "\"x/" << QByteArray("") << "";
        QTest::newRow("line break") << "/a\nb/" << QByteArray("") << "";
        QTest::newRow("non-ASCII")
            << "/Bilder/Grüße/" << QString("/Bilder/Grüße/").toUtf8() << "/Bilder/Grüße/";
    }
    void folderLineAsWrittenAndReadBack() {
        QFETCH(QString, folder);
        QFETCH(QByteArray, line);
        QFETCH(QString, readBack);
        tree_->write("viewer.ini", QByteArray(4096, 'z')); // replaced whole
        SettingsFile::write("Yes", folder, "No", "Yes");
        QCOMPARE(kit::readAll(tree_->file("viewer.ini")), "Yes\r\n" + line + "\r\nNo\r\nYes\r\n");
        QCOMPARE(SettingsFile::read(), readBack);
        QCOMPARE((QStringList{Module::TextFiles, Module::SoundFiles, Module::VideoFiles}),
                 QStringList({"Yes", "No", "Yes"}));
    }

  private:
    std::unique_ptr<TempTree> tree_;
};

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
