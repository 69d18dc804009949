#include "SettingsTestKit.h"
#include "formats/SettingsFormat.h"
#include "settings/SettingsFile.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QtTest>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

struct stat lstatOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// A tmpfs of 64 KiB on folder while alive.
class SmallDisk {
  public:
    explicit SmallDisk(const QString& folder) : folder_(QFile::encodeName(folder)) {
        mounted_ =
            ::geteuid() == 0 && ::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(folder_.constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }

  private:
    QByteArray folder_;
    bool mounted_ = false;
};

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        tree_ = std::make_unique<TempTree>();
        Module::AppDir = tree_->path() + "/";
    }
    void cleanup() {
        Module::reset();
        SettingsStore::resetWarning();
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
        // "/photos\0x" is no folder, least of all /photos.
        row("NUL in the folder line", QByteArray("Yes\r\n/photos") + '\0' + "x\r\nNo\r\nNo\r\n",
            SettingsFormat::BadItem, {"No", "", "No", "Yes"});
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
        QCOMPARE(errorOf([&] { folder = SettingsFile::read(); }), error);
        QCOMPARE((QStringList{Module::TextFiles, folder, Module::SoundFiles, Module::VideoFiles}),
                 items);
    }

    void folderLineAsWrittenAndReadBack_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("none") << "" << QByteArray("") << "";
        QTest::newRow("root") << "/" << QByteArray("/") << "/";
        QTest::newRow("comma") << "/data/a,b/" << QByteArray("\"/data/a,b/\"") << "/data/a,b/";
        QTest::newRow("quote inside")
            << "/say \"hi\"/" << QByteArray("/say \"hi\"/") << "/say \"hi\"/";
        QTest::newRow("leading quote") << "\"x/" << QByteArray("") << "";
        QTest::newRow("line break") << "/a\nb/" << QByteArray("") << "";
        QTest::newRow("non-ASCII")
            << "/Bilder/Grüße/" << QString("/Bilder/Grüße/").toUtf8() << "/Bilder/Grüße/";
        const QByteArray latin1("/Bilder/Gr\xfc\xdf\x65/");
        const QString held = FileNames::decode(latin1);
        QTest::newRow("not UTF-8") << held << latin1 << held;
    }
    void folderLineAsWrittenAndReadBack() {
        QFETCH(QString, folder);
        QFETCH(QByteArray, line);
        QFETCH(QString, readBack);
        tree_->write("viewer.ini", QByteArray(4096, 'z')); // replaced whole
        SettingsFile::write("Yes", folder, "No", "Yes");
        QCOMPARE(contentOf(tree_->file("viewer.ini")), "Yes\r\n" + line + "\r\nNo\r\nYes\r\n");
        QCOMPARE(SettingsFile::read(), readBack);
        QCOMPARE((QStringList{Module::TextFiles, Module::SoundFiles, Module::VideoFiles}),
                 QStringList({"Yes", "No", "Yes"}));
    }

    // A write that cannot finish leaves viewer.ini (or what it is) as it was
    // and tells the user as for any settings file that cannot be written; a
    // link to a regular file is written through. Only a regular file is read:
    // a FIFO does not keep the read waiting.
    void writeKeepsOldOnFailure_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("disk full") << "full";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to a device") << "device";
        QTest::newRow("link to a regular file") << "link";
    }
    void writeKeepsOldOnFailure() {
        QFETCH(QString, kind);
        const QByteArray old = "Yes\r\n/old/\r\nNo\r\nNo\r\n";
        std::unique_ptr<SmallDisk> disk;
        if (kind == "full") {
            disk = std::make_unique<SmallDisk>(tree_->mkdir("disk"));
            if (!disk->mounted()) QSKIP("cannot mount a tmpfs here (needs root)");
            Module::AppDir = tree_->file("disk") + "/";
            tree_->write("disk/viewer.ini", old);
            QFile filler(tree_->file("disk/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(512, 'f')) == 512) {
            }
        } else if (kind == "link") {
            tree_->write("real.ini", old);
            QVERIFY(QFile::link("real.ini", tree_->file("viewer.ini")));
        } else {
            if (!makeOther(kind)) QSKIP("cannot make the special file here (needs root)");
            QCOMPARE(errorOf([] { SettingsFile::read(); }), int(Err::PathFileAccess));
        }
        const QString ini = Module::AppDir + "viewer.ini";
        const struct stat before = lstatOf(ini);
        const auto entries = [] {
            return QDir(Module::AppDir)
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        const QStringList entriesBefore = entries();

        MsgBoxRecorder boxes;
        const bool stored =
            SettingsStore::store("No", "/a/much/longer/folder/than/before/", "Yes", "Yes");

        const struct stat after = lstatOf(ini);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(entries(), entriesBefore);
        if (kind == "link") {
            QVERIFY(stored);
            QVERIFY(boxes.boxes.isEmpty());
            QCOMPARE(contentOf(tree_->file("real.ini")),
                     "No\r\n/a/much/longer/folder/than/before/\r\nYes\r\nYes\r\n");
            return;
        }
        QVERIFY(!stored);
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]),
                 "The settings cannot be saved in " + ini +
                     "\r\nThe Quillory keeps them until it ends.|48|Error..");
        if (kind == "full") QCOMPARE(contentOf(ini), old);
        if (kind == "device") {
            const struct stat node = lstatOf(tree_->file("null"));
            QVERIFY(S_ISCHR(node.st_mode));
            QCOMPARE(node.st_rdev, makedev(1, 3));
        }
    }

  private:
    // viewer.ini as a FIFO, a folder, or a link to a character device.
    bool makeOther(const QString& kind) {
        const QByteArray ini = QFile::encodeName(tree_->file("viewer.ini"));
        if (kind == "fifo") return ::mkfifo(ini.constData(), 0644) == 0;
        if (kind == "folder") return ::mkdir(ini.constData(), 0755) == 0;
        const QByteArray node = QFile::encodeName(tree_->file("null"));
        return ::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
               ::symlink("null", ini.constData()) == 0;
    }

    std::unique_ptr<TempTree> tree_;
};

QTEST_MAIN(SettingsFileTest)
#include "tst_settingsfile.moc"
