#include "FileSizeLimit.h"
#include "fileops/SafeCopy.h"
#include "platform/PlatformError.h"
#include "support/TempTree.h"

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

int errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const PlatformError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

class SafeCopyTest : public QObject {
    Q_OBJECT
  private slots:
    void copiesContentTimeAndMode_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("empty file, new target") << 0 << false;
        QTest::newRow("several buffers, new target") << 300001 << false;
        QTest::newRow("replaces an existing target") << 5000 << true;
    }
    void copiesContentTimeAndMode() {
        QFETCH(int, size);
        QFETCH(bool, targetExists);
        TempTree tree;
        const QByteArray content = randomBytes(size);
        const QString source = tree.write("from/clip.wav", content);
        QVERIFY(QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ReadGroup | QFile::ExeOther));
        const struct timespec times[2] = {{1000000000, 0}, {981173106, 123456789}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(source).constData(), times, 0), 0);
        const QString target = tree.file("to/clip.wav");
        tree.mkdir("to");
        if (targetExists) tree.write("to/clip.wav", "an older, longer clip that is replaced");

        copyFileSafely(source, target);

        QCOMPARE(contentOf(target), content);
        const struct stat from = statOf(source);
        const struct stat to = statOf(target);
        QCOMPARE(to.st_mode & 07777, from.st_mode & 07777);
        QCOMPARE(to.st_mtim.tv_sec, from.st_mtim.tv_sec);
        QCOMPARE(to.st_mtim.tv_nsec, from.st_mtim.tv_nsec);
        QCOMPARE(entriesOf(tree.file("to")), QStringList{"clip.wav"});
        QCOMPARE(contentOf(source), content);
    }

    void refusalsLeaveEverythingAsItWas_data() {
        QTest::addColumn<QString>("sourceName");
        QTest::addColumn<QString>("targetName");
        QTest::addColumn<int>("error");
        QTest::newRow("missing source") << "gone.wav"
                                        << "to/clip.wav" << int(Err::FileNotFound);
        QTest::newRow("missing target folder") << "from/clip.wav"
                                               << "nowhere/clip.wav" << int(Err::FileNotFound);
        QTest::newRow("onto itself") << "from/clip.wav"
                                     << "from/clip.wav" << int(Err::PathFileAccess);
        QTest::newRow("onto a hard link of itself") << "from/clip.wav"
                                                    << "from/link.wav" << int(Err::PathFileAccess);
        QTest::newRow("onto a folder") << "from/clip.wav"
                                       << "to/folder.wav" << int(Err::PathFileAccess);
        QTest::newRow("from a folder") << "to/folder.wav"
                                       << "to/clip.wav" << int(Err::PathFileAccess);
    }
    void refusalsLeaveEverythingAsItWas() {
        QFETCH(QString, sourceName);
        QFETCH(QString, targetName);
        QFETCH(int, error);
        TempTree tree;
        const QByteArray clip = randomBytes(70000);
        const QByteArray old = "the target as it was";
        tree.write("from/clip.wav", clip);
        QCOMPARE(::link(QFile::encodeName(tree.file("from/clip.wav")).constData(),
                        QFile::encodeName(tree.file("from/link.wav")).constData()),
                 0);
        tree.write("to/clip.wav", old);
        tree.mkdir("to/folder.wav");
        const QStringList fromBefore = entriesOf(tree.file("from"));
        const QStringList toBefore = entriesOf(tree.file("to"));

        QCOMPARE(errorOf([&] { copyFileSafely(tree.file(sourceName), tree.file(targetName)); }),
                 error);

        QCOMPARE(contentOf(tree.file("from/clip.wav")), clip);
        QCOMPARE(contentOf(tree.file("to/clip.wav")), old);
        QCOMPARE(entriesOf(tree.file("from")), fromBefore);
        QCOMPARE(entriesOf(tree.file("to")), toBefore);
    }

    void failureHalfWayKeepsExistingTarget() {
        TempTree tree;
        const QByteArray clip = randomBytes(200000);
        const QByteArray old = randomBytes(1000);
        const QString source = tree.write("from/clip.wav", clip);
        const QString target = tree.write("to/clip.wav", old);
        int error = 0;
        {
            FileSizeLimit limit(100000);
            QVERIFY(limit.active());
            error = errorOf([&] { copyFileSafely(source, target); });
        }
        QVERIFY(error != 0);
        QCOMPARE(contentOf(target), old);
        QCOMPARE(entriesOf(tree.file("to")), QStringList{"clip.wav"});
    }
};

QTEST_GUILESS_MAIN(SafeCopyTest)
#include "tst_safecopy.moc"
