#include "SettingsTestKit.h"
#include "platform/PlatformError.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFormat.h"
#include "support/TempTree.h"

#include <QDir>
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

    void defaultFileIsSixteenBytes() {
        SettingsFile::write("No", "", "Yes", "Yes");
        QCOMPARE(kit::readAll(tree_->file("viewer.ini")),
                 QByteArray::fromHex("4E6F0D0A0D0A5965730D0A5965730D0A"));
    }

    void readsItems_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("items"); // text, folder, sound, video
        const auto row = [](const char* name, const QByteArray& file, const QStringList& items) {
            QTest::newRow(name) << file << items;
        };
        row("default file", kit::DefaultFile, {"No", "", "Yes", "Yes"});
        row("stored folder", "Yes\r\n/home/ann/Pictures/\r\nNo\r\nNo\r\n",
            {"Yes", "/home/ann/Pictures/", "No", "No"});
        row("root folder", "No\r\n/\r\nYes\r\nNo\r\n", {"No", "/", "Yes", "No"});
        // A file written before folders were quoted: the comma splits line 2.
        row("comma in folder", "Yes\r\n/data/a,b/\r\nNo\r\nNo\r\n", {"Yes", "/data/a", "b/", "No"});
        row("more than four lines", "No\r\n/x/\r\nYes\r\nYes\r\nextra\r\n\"more\r\n",
            {"No", "/x/", "Yes", "Yes"});
        row("blanks around bare items", "  Yes \t\r\n\t /x y/  \r\n No\r\nNo\r\n",
            {"Yes", "/x y/", "No", "No"});
        row("quoted folder", "No\r\n\" /a, \"\"b \"\r\nYes\r\nYes\r\n",
            {"No", " /a, ", "Yes", "Yes"});
        row("quote inside a bare item", "No\r\n/say \"hi\"/\r\nYes\r\nYes\r\n",
            {"No", "/say \"hi\"/", "Yes", "Yes"});
        row("bare LF line ends", "No\n/x/\nYes\nNo\n", {"No", "/x/", "Yes", "No"});
        row("bare CR line ends", "No\r/x/\rYes\rNo\r", {"No", "/x/", "Yes", "No"});
        row("no line end after the fourth", "No\r\n\r\nYes\r\nYes", {"No", "", "Yes", "Yes"});
        row("other case and junk kept as read", "yes\r\n\r\nmaybe\r\nYES\r\n",
            {"yes", "", "maybe", "YES"});
    }
    void readsItems() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, items);
        tree_->write("viewer.ini", file);
        const QString folder = SettingsFile::read();
        QCOMPARE((QStringList{Module::TextFiles, folder, Module::SoundFiles, Module::VideoFiles}),
                 items);
    }

    void failingReadKeepsOptions_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("error");
        const int pastEnd = SettingsFormat::InputPastEndOfFile;
        QTest::newRow("missing file") << false << QByteArray() << int(Err::FileNotFound);
        QTest::newRow("empty file") << true << QByteArray() << pastEnd;
        QTest::newRow("three lines") << true << QByteArray("Yes\r\n\r\nNo\r\n") << pastEnd;
        QTest::newRow("blanks after the third")
            << true << QByteArray("Yes\r\n\r\nNo\r\n   ") << pastEnd;
        // The quote runs to the end of the file, taking the last two lines with it.
        QTest::newRow("quote never closed")
            << true << QByteArray("Yes\r\n\"/a/\r\nNo\r\nYes\r\n") << pastEnd;
    }
    void failingReadKeepsOptions() {
        QFETCH(bool, present);
        QFETCH(QByteArray, file);
        QFETCH(int, error);
        if (present) tree_->write("viewer.ini", file);
        Module::TextFiles = "No";
        Module::SoundFiles = "No";
        Module::VideoFiles = "Yes";
        int thrown = 0;
        try {
            SettingsFile::read();
        } catch (const PlatformError& e) {
            thrown = e.number();
        }
        QCOMPARE(thrown, error);
        QCOMPARE((QStringList{Module::TextFiles, Module::SoundFiles, Module::VideoFiles}),
                 QStringList({"No", "No", "Yes"}));
    }

    void folderLineAsWrittenAndReadBack_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("none") << "" << QByteArray("") << "";
        QTest::newRow("root") << "/" << QByteArray("/") << "/";
        QTest::newRow("deeper") << "/home/ann/" << QByteArray("/home/ann/") << "/home/ann/";
        QTest::newRow("comma") << "/data/a,b/" << QByteArray("\"/data/a,b/\"") << "/data/a,b/";
        QTest::newRow("leading blank") << " x/" << QByteArray("\" x/\"") << " x/";
        QTest::newRow("trailing blank") << "x/ " << QByteArray("\"x/ \"") << "x/ ";
        QTest::newRow("leading quote") << "\"x/" << QByteArray("") << "";
        QTest::newRow("quote inside")
            << "/say \"hi\"/" << QByteArray("/say \"hi\"/") << "/say \"hi\"/";
        QTest::newRow("quote and comma") << "/a,\"b/" << QByteArray("") << "";
        QTest::newRow("line break") << "/a\nb/" << QByteArray("") << "";
        QTest::newRow("carriage return") << "/a\rb/" << QByteArray("") << "";
        QTest::newRow("non-ASCII")
            << "/Bilder/Grüße/" << QString("/Bilder/Grüße/").toUtf8() << "/Bilder/Grüße/";
    }
    void folderLineAsWrittenAndReadBack() {
        QFETCH(QString, folder);
        QFETCH(QByteArray, line);
        QFETCH(QString, readBack);
        SettingsFile::write("Yes", folder, "No", "Yes");
        QCOMPARE(kit::readAll(tree_->file("viewer.ini")), "Yes\r\n" + line + "\r\nNo\r\nYes\r\n");
        QCOMPARE(SettingsFile::read(), readBack);
        QCOMPARE((QStringList{Module::TextFiles, Module::SoundFiles, Module::VideoFiles}),
                 QStringList({"Yes", "No", "Yes"}));
    }

    void extraLinesAreDroppedByTheNextWrite() {
        tree_->write("viewer.ini", "Yes\r\n/x/\r\nNo\r\nYes\r\nextra\r\nmore\r\n");
        const QString folder = SettingsFile::read();
        SettingsFile::write(Module::TextFiles, folder, Module::SoundFiles, Module::VideoFiles);
        QCOMPARE(kit::readAll(tree_->file("viewer.ini")),
                 QByteArray("Yes\r\n/x/\r\nNo\r\nYes\r\n"));
    }

    void writeReplacesWholeAndLeavesNoTemporaryFile() {
        tree_->write("viewer.ini", QByteArray(4096, 'z'));
        SettingsFile::write("No", "", "Yes", "Yes");
        QCOMPARE(kit::readAll(tree_->file("viewer.ini")), kit::DefaultFile);
        QCOMPARE(QDir(tree_->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"viewer.ini"}));
    }

    void writeIntoMissingFolderFails() {
        Module::AppDir = tree_->file("gone") + "/";
        QVERIFY_THROWS_EXCEPTION(PlatformError, SettingsFile::write("No", "", "Yes", "Yes"));
        QVERIFY(!QFile::exists(tree_->file("gone")));
    }

  private:
    std::unique_ptr<TempTree> tree_;
};

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
