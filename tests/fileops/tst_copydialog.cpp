#include "FileSizeLimit.h"
#include "Unprivileged.h"
#include "ViewerSteps.h"
#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/MessageBox.h"
#include "fileops/Copy.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"
#include "system/Volumes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>
#include <sys/stat.h>

using namespace ViewerSteps;

namespace {

const QString ErrorTitle = QStringLiteral("Error..");
const QString InUse = QStringLiteral("Can't copy: target file(name) in use..");

// Opens folder in the dialog's folder list and presses its button.
void copyInto(Copy* dialog, const QString& folder) {
    dialog->Dir1->setPath(folder);
    dialog->Command1_Click();
}

// Chooses Copy for name in folder; returns the dialog, or null when none opened.
Copy* chooseCopy(TheViewer& viewer, const QString& folder, const QString& name) {
    openFolder(viewer, folder);
    if (!selectFile(viewer, name)) return nullptr;
    viewer.FileCopy_Click();
    return viewer.findChild<Copy*>();
}

// Subject run: as the unprivileged user, copies name from its folder into target.
int copySubject(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    TheViewer viewer;
    Copy* dialog = chooseCopy(viewer, args.value(2), args.value(3));
    if (!dialog) return 2;
    MsgBoxRecorder boxes;
    copyInto(dialog, args.value(4));
    for (const auto& box : boxes.boxes)
        Unprivileged::report("box", describe(box));
    Unprivileged::report("loaded", dialog->isLoaded() ? "yes" : "no");
    Unprivileged::report("visible", dialog->isVisible() ? "yes" : "no");
    Unprivileged::report("last", Module::LastCopyDir);
    return 0;
}

} // namespace

class CopyDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { Module::reset(); }
    void cleanup() { Volumes::setProvider({}); }

    void noFileSelectedOpensNoDialog() {
        TempTree tree;
        tree.write("clip.wav", "x");
        TheViewer viewer;
        openFolder(viewer, tree.path());
        MsgBoxRecorder boxes;
        viewer.FileCopy_Click();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]), "Please select a file to copy|48|" + ErrorTitle);
        QVERIFY(!viewer.findChild<Copy*>());
    }

    // One key does one thing: Enter in a list never copies; the button,
    // focused when the dialog opens, copies on Space or Enter.
    void keyboard_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("copies");
        QTest::newRow("Return in folder list") << "Dir1" << int(Qt::Key_Return) << false;
        QTest::newRow("Enter in folder list") << "Dir1" << int(Qt::Key_Enter) << false;
        QTest::newRow("Return in drive list") << "Drive1" << int(Qt::Key_Return) << false;
        QTest::newRow("Space on button") << "Command1" << int(Qt::Key_Space) << true;
        QTest::newRow("Return on button") << "Command1" << int(Qt::Key_Return) << true;
        QTest::newRow("Enter on button") << "Command1" << int(Qt::Key_Enter) << true;
    }
    void keyboard() {
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(bool, copies);
        TempTree tree;
        tree.write("from/intro.wav", "clip");
        const QString target = tree.mkdir("target");
        const QString deep = tree.mkdir("target/deep");
        TheViewer viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "intro.wav");
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->Command1));
        dialog->Dir1->setPath(target);
        // The subfolder highlighted, as the arrow keys would leave it.
        for (int row = 0; row < dialog->Dir1->ListCount(); ++row)
            if (dialog->Dir1->List(row) == deep)
                dialog->Dir1->setCurrentIndex(dialog->Dir1->model()->index(row, 0));
        QWidget* widget = control == "Dir1"     ? static_cast<QWidget*>(dialog->Dir1)
                          : control == "Drive1" ? static_cast<QWidget*>(dialog->Drive1)
                                                : static_cast<QWidget*>(dialog->Command1);
        widget->setFocus();
        QVERIFY(widget->hasFocus());
        MsgBoxRecorder boxes;
        QTest::keyClick(widget, Qt::Key(key));
        QVERIFY(boxes.boxes.isEmpty());
        QCOMPARE(dialog->isVisible(), !copies);
        QCOMPARE(entriesOf(target).contains("intro.wav"), copies);
        QVERIFY(entriesOf(deep).isEmpty());
        QCOMPARE(dialog->Dir1->Path(), control == "Dir1" ? deep : target);
        dialog->Unload();
    }

    // A copy lands one level deeper than where the dialog opened; the next
    // copy's dialog opens on that folder and its volume.
    void copyThenSecondCopyOpensThere_data() {
        QTest::addColumn<bool>("ownVolume");
        QTest::newRow("same volume") << false;
        QTest::newRow("target on another volume") << true;
    }
    void copyThenSecondCopyOpensThere() {
        QFETCH(bool, ownVolume);
        TempTree tree;
        if (ownVolume) {
            const QString root = tree.path();
            Volumes::setProvider([root] { return QList<Volume>{{"root", "/"}, {"stick", root}}; });
        }
        const QByteArray clip = "RIFF clip bytes";
        tree.write("from/a.wav", clip);
        tree.write("from/b.wav", "B");
        const QString folder = tree.mkdir("to/deep");
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "a.wav");
        QVERIFY(dialog);
        // Clicking another file while the dialog is open changes nothing in it.
        QVERIFY(selectFile(viewer, "b.wav"));
        MsgBoxRecorder boxes;
        copyInto(dialog, folder);
        QVERIFY(boxes.boxes.isEmpty());
        QCOMPARE(entriesOf(folder), QStringList{"a.wav"});
        QCOMPARE(contentOf(folder + "/a.wav"), clip);
        QCOMPARE(Module::LastCopyDir, folder + "/");
        QVERIFY(!dialog->isVisible());
        QVERIFY(!dialog->isLoaded());

        QCOMPARE(chooseCopy(viewer, tree.file("from"), "b.wav"), dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->Command1->text(), "Copy: b.wav to selected directory");
        QCOMPARE(dialog->Dir1->Path(), folder);
        const QList<Volume> volumes = Volumes::list();
        QCOMPARE(dialog->Drive1->volumeRoot(),
                 volumes.value(Volumes::indexOfVolumeHolding(volumes, folder)).root);
    }

    void closingCopiesNothing() {
        TempTree tree;
        tree.write("from/a.wav", "A");
        const QString folder = tree.mkdir("to");
        Module::LastCopyDir = tree.path() + "/";
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "a.wav");
        QVERIFY(dialog);
        QCOMPARE(dialog->Dir1->Path(), tree.path());
        dialog->Dir1->setPath(folder);
        QVERIFY(dialog->close());
        QVERIFY(!dialog->isVisible());
        QVERIFY(!dialog->isLoaded());
        QVERIFY(entriesOf(folder).isEmpty());
        QCOMPARE(Module::LastCopyDir, tree.path() + "/");
    }

    // A read-only target stays byte for byte, also for root: the in-use message.
    void failedCopyKeepsFilesAndDialog_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("onto itself") << "itself";
        QTest::newRow("broken half-way over an existing target") << "broken";
        QTest::newRow("read-only target") << "read-only";
    }
    void failedCopyKeepsFilesAndDialog() {
        QFETCH(QString, failure);
        TempTree tree;
        QByteArray clip(150000, 'c');
        const QByteArray old(2000, 'o');
        tree.write("from/a.wav", clip);
        const QString target = tree.write("to/a.wav", old);
        if (failure == "read-only")
            QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0444), 0);
        const QString folder = tree.file(failure == "itself" ? "from" : "to");
        const QStringList before = entriesOf(folder);
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "a.wav");
        QVERIFY(dialog);
        dialog->Dir1->setPath(folder);
        MsgBoxRecorder boxes;
        {
            FileSizeLimit limit(failure == "broken" ? 100000 : RLIM_INFINITY);
            dialog->Command1_Click();
        }
        QCOMPARE(contentOf(folder + "/a.wav"), failure == "itself" ? clip : old);
        QCOMPARE(entriesOf(folder), before);
        QCOMPARE(boxes.boxes.size(), 1);
        const QString box = describe(boxes.boxes[0]);
        if (failure == "read-only")
            QCOMPARE(box, InUse + "|48|" + ErrorTitle);
        else
            QVERIFY2(box.startsWith("Can't copy: ") && box.endsWith("|48|" + ErrorTitle) &&
                         !box.startsWith(InUse),
                     qPrintable(box));
        QVERIFY(dialog->isVisible());
        QCOMPARE(Module::LastCopyDir, folder + "/");
    }

    // A name that is not UTF-8 is copied under its own bytes; the button shows
    // the byte as a replacement character.
    void nameNotUtf8() {
        TempTree tree;
        const QString to = tree.mkdir("to");
        tree.mkdir("from");
        QVERIFY(tree.writeRaw("from/bad\xff.wav", "latin-1 name"));
        QVERIFY(tree.writeRaw("from/bad\xef\xbf\xbd.wav", "utf-8 name"));
        TheViewer viewer;
        openFolder(viewer, tree.file("from"));
        QCOMPARE(viewer.File1->ListCount(), 2);
        viewer.File1->selectIndex(0); // the two sort apart: U+DCFF before U+FFFD
        viewer.FileCopy_Click();
        Copy* dialog = viewer.findChild<Copy*>();
        QVERIFY(dialog);
        QCOMPARE(dialog->Command1->text(), QString("Copy: bad\uFFFD.wav to selected directory"));
        MsgBoxRecorder boxes;
        copyInto(dialog, to);
        QVERIFY(boxes.boxes.isEmpty());
        QVERIFY(!dialog->isLoaded());
        QCOMPARE(tree.readRaw("to/bad\xff.wav"), QByteArray("latin-1 name"));
        // Only that one: the name with the replacement character is not there.
        QCOMPARE(tree.readRaw("to/bad\xef\xbf\xbd.wav"), QByteArray("<unreadable>"));
    }

    // Opening a folder in the dialog removes what copies killed there more
    // than a day ago left, and nothing else.
    void staleLeftoversRemoved() {
        TempTree tree;
        tree.write("from/a.wav", "A");
        const QString to = tree.mkdir("to");
        const time_t days = 2 * 24 * 60 * 60;
        QVERIFY(tree.writeRaw("to/.quillory-copy-Ab12Cd", "killed", days));
        QVERIFY(tree.writeRaw("to/.quillory-copy-Ef34Gh", "running now"));
        QVERIFY(tree.writeRaw("to/.quillory-copy-notours", "other pattern", days));
        QVERIFY(tree.writeRaw("to/keep.wav", "user's", days));
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "a.wav");
        QVERIFY(dialog);
        dialog->Dir1->setPath(to);
        QCOMPARE(entriesOf(to),
                 (QStringList{".quillory-copy-Ef34Gh", ".quillory-copy-notours", "keep.wav"}));
    }

    // A long copy shows its progress after half a second; Cancel leaves the
    // target as it was, with no temporary file, and the dialog open.
    void cancelLongCopy() {
        TempTree tree;
        const QString source = tree.file("from/big.avi");
        tree.mkdir("from");
        {
            QFile big(source);
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(qint64(8) << 30)); // sparse: reads fast, writes for real
        }
        const QString to = tree.mkdir("to");
        tree.write("to/big.avi", "the old one");
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "big.avi");
        QVERIFY(dialog);
        dialog->Dir1->setPath(to);

        QElapsedTimer clock;
        qint64 shownAfter = -1;
        QString label;
        int ticks = 0; // the user-interface thread's timer runs meanwhile
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            ++ticks;
            auto* progress = dialog->findChild<QProgressDialog*>();
            if (!progress || !progress->isVisible() || shownAfter >= 0) return;
            shownAfter = clock.elapsed();
            label = progress->findChild<QLabel*>()->text();
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        MsgBoxRecorder boxes;
        clock.start();
        watch.start();
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        const qint64 took = clock.elapsed();
        watch.stop();

        qInfo("progress shown after %lld ms, copy cancelled after %lld ms", shownAfter, took);
        QVERIFY2(shownAfter >= 450, qPrintable(QString::number(shownAfter)));
        QVERIFY(ticks > 10);
        QString digits = label;
        digits.remove(QRegularExpression("[,. \u00a0]"));
        QVERIFY2(label.contains("big.avi") && label.contains("bytes") &&
                     digits.contains("of8589934592bytes"),
                 qPrintable(label));
        QVERIFY(boxes.boxes.isEmpty());
        QCOMPARE(contentOf(tree.file("to/big.avi")), QByteArray("the old one"));
        QCOMPARE(entriesOf(to), QStringList{"big.avi"});
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->isLoaded());
        QVERIFY(dialog->Command1->isEnabled());
        QCOMPARE(Module::LastCopyDir, to + "/");
        QVERIFY(!dialog->findChild<QProgressDialog*>());
    }

    void readOnlyTargetFolder() {
        TempTree tree;
        const QByteArray clip = "clip";
        tree.write("from/a.wav", clip);
        const QString folder = tree.mkdir("to");
        QVERIFY(Unprivileged::prepare(tree.path(), 0755, false));
        QVERIFY(Unprivileged::prepare(tree.file("from"), 0755, false));
        QVERIFY(Unprivileged::prepare(folder, 0555, true));

        const auto found = Unprivileged::run({tree.file("from"), "a.wav", folder});
        QVERIFY2(!found.contains("exit"), "the unprivileged copy did not run");
        QCOMPARE(found.value("last"), folder + "/");
        QCOMPARE(found.values("box"), QStringList{InUse + "|48|" + ErrorTitle});
        QCOMPARE(found.value("visible"), "yes");
        QCOMPARE(found.value("loaded"), "yes");
        QVERIFY(entriesOf(folder).isEmpty());
    }
};

int main(int argc, char** argv) {
    if (Unprivileged::isSubjectRun(argc, argv)) return copySubject(argc, argv);
    QApplication app(argc, argv);
    CopyDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_copydialog.moc"
