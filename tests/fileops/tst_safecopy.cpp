#include "fileops/SafeCopy.h"
#include "support/Checks.h"
#include "support/TempTree.h"
#include "system/PlatformError.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

QByteArray randomBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char& b : bytes)
        b = char(generator.bounded(256));
    return bytes;
}

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Everything in folder, hidden entries included, so leftovers show.
QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
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
        QTest::newRow("new target, several buffers") << "from/clip.wav"
                                                     << "to/new.wav" << 0;
        QTest::newRow("replaces an existing target") << "from/clip.wav"
                                                     << "to/clip.wav" << 0;
        QTest::newRow("missing source") << "gone.wav"
                                        << "to/clip.wav" << int(Err::FileNotFound);
        QTest::newRow("onto a hard link of itself") << "from/clip.wav"
                                                    << "from/link.wav" << int(Err::PathFileAccess);
        QTest::newRow("onto a folder") << "from/clip.wav"
                                       << "to/folder.wav" << int(Err::PathFileAccess);
    }
    void copyOrRefusal() {
        QFETCH(QString, sourceName);
        QFETCH(QString, targetName);
        QFETCH(int, error);
        TempTree tree;
        const QByteArray clip = randomBytes(300001);
        const QByteArray old = "the target as it was";
        const QString source = tree.write("from/clip.wav", clip);
        QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ReadGroup | QFile::ExeOther));
        const struct timespec times[2] = {{1000000000, 0}, {981173106, 123456789}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0), 0);
        QCOMPARE(::link(QFile::encodeName(source).constData(),
                        QFile::encodeName(tree.file("from/link.wav")).constData()),
                 0);
        tree.write("to/clip.wav", old);
        tree.mkdir("to/folder.wav");
        const QStringList fromBefore = entriesOf(tree.file("from"));
        QStringList toAfter = entriesOf(tree.file("to"));
        if (error == 0 && !toAfter.contains(QFileInfo(targetName).fileName()))
            toAfter = QStringList{"clip.wav", "folder.wav", "new.wav"};

        QCOMPARE(errorOf([&] { copyFileSafely(tree.file(sourceName), tree.file(targetName)); }),
                 error);

        QCOMPARE(contentOf(source), clip);
        QCOMPARE(entriesOf(tree.file("from")), fromBefore);
        QCOMPARE(entriesOf(tree.file("to")), toAfter);
        if (error != 0) {
            QCOMPARE(contentOf(tree.file("to/clip.wav")), old);
            return;
        }
        const QString target = tree.file(targetName);
        QCOMPARE(contentOf(target), clip);
        const struct stat from = statOf(source);
        const struct stat to = statOf(target);
        QCOMPARE(to.st_mode & 07777, from.st_mode & 07777);
        QCOMPARE(to.st_mtim.tv_sec, from.st_mtim.tv_sec);
        QCOMPARE(to.st_mtim.tv_nsec, from.st_mtim.tv_nsec);
    }
};

QTEST_GUILESS_MAIN(SafeCopyTest)
#include "tst_safecopy.moc"
