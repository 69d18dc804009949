#include "fileops/SafeCopy.h"
#include "support/Checks.h"
#include "support/TempTree.h"
#include "system/PlatformError.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray randomBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char& b : bytes)
        b = char(generator.bounded(256));
    return bytes;
}

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

} // namespace

class SafeCopyTest : public QObject {
    Q_OBJECT
  private slots:
    // A copy brings content, mode and time; a refused one leaves both folders as they were.
    void copyOrRefusal_data() {
        QTest::addColumn<QString>("sourceName");
        QTest::addColumn<QString>("targetName");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("mode"); // of the source
        const auto row = [](const char* name, const char* from, const char* to, int error,
                            int mode = 0) { QTest::newRow(name) << from << to << error << mode; };
        row("new target, several buffers", "from/clip.wav", "to/new.wav", 0);
        // Root's copy of another user's set-user-ID program is no such program.
        row("set-ID and sticky bits dropped", "from/clip.wav", "to/new.wav", 0, 07755);
        // Read-only holds for root too.
        row("onto a read-only target", "from/clip.wav", "to/readonly.wav", Err::PermissionDenied);
        row("replaces an existing target", "from/clip.wav", "to/clip.wav", 0);
        row("missing source", "gone.wav", "to/clip.wav", Err::FileNotFound);
        row("onto a hard link of itself", "from/clip.wav", "from/link.wav", Err::PathFileAccess);
        row("onto a folder", "from/clip.wav", "to/folder.wav", Err::PathFileAccess);
    }
    void copyOrRefusal() {
        QFETCH(QString, sourceName);
        QFETCH(QString, targetName);
        QFETCH(int, error);
        QFETCH(int, mode);
        TempTree tree;
        const QByteArray clip = randomBytes(300001);
        const QByteArray old = "the target as it was";
        const QString source = tree.write("from/clip.wav", clip);
        QCOMPARE(::chmod(QFile::encodeName(source).constData(), mode_t(mode ? mode : 0641)), 0);
        const struct timespec times[2] = {{1000000000, 0}, {981173106, 123456789}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0), 0);
        QCOMPARE(::link(QFile::encodeName(source).constData(),
                        QFile::encodeName(tree.file("from/link.wav")).constData()),
                 0);
        tree.write("to/clip.wav", old);
        const QString readOnly = tree.write("to/readonly.wav", old);
        QCOMPARE(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
        tree.mkdir("to/folder.wav");
        const QStringList fromBefore = entriesOf(tree.file("from"));
        QStringList toAfter = entriesOf(tree.file("to"));
        if (error == 0 && !toAfter.contains(QFileInfo(targetName).fileName()))
            toAfter = QStringList{"clip.wav", "folder.wav", "new.wav", "readonly.wav"};

        QCOMPARE(errorOf([&] { copyFileSafely(tree.file(sourceName), tree.file(targetName)); }),
                 error);

        QCOMPARE(contentOf(source), clip);
        QCOMPARE(entriesOf(tree.file("from")), fromBefore);
        QCOMPARE(entriesOf(tree.file("to")), toAfter);
        if (error != 0) {
            QCOMPARE(contentOf(tree.file("to/clip.wav")), old);
            QCOMPARE(contentOf(readOnly), old);
            return;
        }
        const QString target = tree.file(targetName);
        QCOMPARE(contentOf(target), clip);
        const struct stat from = statOf(source);
        const struct stat to = statOf(target);
        QCOMPARE(to.st_mode & 07777, from.st_mode & 0777);
        QCOMPARE(to.st_mtim.tv_sec, from.st_mtim.tv_sec);
        QCOMPARE(to.st_mtim.tv_nsec, from.st_mtim.tv_nsec);
    }

    // A copy killed half-way leaves nothing in the target folder: its
    // temporary file has no name until it is complete.
    void killedCopyLeavesNothing() {
        TempTree tree;
        const QString source = tree.file("big.avi");
        {
            QFile big(source);
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(qint64(2) << 30)); // sparse: reads fast, writes for real
        }
        const QString folder = tree.mkdir("to");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--copy", source, folder + "/big.avi"});
        QVERIFY(child.waitForStarted());
        // Half-way: the child holds a file in the target folder, named or not.
        const QString fds = QStringLiteral("/proc/%1/fd").arg(child.processId());
        const auto writing = [&] {
            if (!entriesOf(folder).isEmpty()) return true;
            for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::AllEntries | QDir::System))
                if (fd.symLinkTarget().startsWith(folder + "/")) return true;
            return false;
        };
        QVERIFY(QTest::qWaitFor(writing, 20000));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QCOMPARE(entriesOf(folder), QStringList());
    }
};

int main(int argc, char** argv) {
    // Subject of killedCopyLeavesNothing: one copy, killed by the test.
    if (argc == 4 && QByteArray(argv[1]) == "--copy") {
        QCoreApplication app(argc, argv);
        copyFileSafely(QFile::decodeName(argv[2]), QFile::decodeName(argv[3]));
        return 0;
    }
    QCoreApplication app(argc, argv);
    SafeCopyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_safecopy.moc"
