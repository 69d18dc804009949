#include "FileSizeLimit.h"
#include "Unprivileged.h"
#include "ViewerSteps.h"
#include "fileops/Copy.h"
#include "platform/DirListBox.h"
#include "platform/DriveListBox.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/Volumes.h"
#include "shell/Module.h"
#include "shell/TheViewer.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

using namespace ViewerSteps;

namespace {

const QString ErrorTitle = QStringLiteral("Error..");
const QString InUse = QStringLiteral("Can't copy: target file(name) in use..");

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

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

QString describe(const MsgBoxRecorder::Box& box) {
    return box.prompt + QLatin1Char('|') + QString::number(box.code) + QLatin1Char('|') + box.title;
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
        QVERIFY(Module::SourceName.isEmpty());
    }

    void menuItemOpensTheDialog() {
        TempTree tree;
        tree.write("a.wav", "A");
        TheViewer viewer;
        openFolder(viewer, tree.path());
        QVERIFY(selectFile(viewer, "a.wav"));
        viewer.FileCopy->trigger();
        Copy* dialog = viewer.findChild<Copy*>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->sourcePath(), tree.file("a.wav"));
        QCOMPARE(dialog->sourceName(), "a.wav");
        // Its button is wired to the copy.
        const QString folder = tree.mkdir("to");
        dialog->Dir1->setPath(folder);
        dialog->Command1->click();
        QCOMPARE(contentOf(folder + "/a.wav"), "A");
        QVERIFY(!dialog->isVisible());
    }

    void dialogOpensAsDesigned() {
        TempTree tree;
        tree.write("intro.wav", "x");
        TheViewer viewer;
        viewer.show();
        Copy* dialog = chooseCopy(viewer, tree.path(), "intro.wav");
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), "Copy File");
        QCOMPARE(dialog->Command1->text(), "Copy: intro.wav to selected directory");
        QCOMPARE(Module::SelectedPath, tree.file("intro.wav"));
        QCOMPARE(Module::SourceName, "intro.wav");

        // Fixed, with a close button only, owned by the main window, modeless.
        // 4965 x 3135 twips at 15 twips a pixel.
        QCOMPARE(dialog->size(), QSize(331, 209));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        const Qt::WindowFlags flags = dialog->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(dialog->parentWidget(), &viewer);
        QVERIFY(!dialog->isModal());
        QVERIFY(!QApplication::activeModalWidget());

        QCOMPARE(dialog->Drive1->geometry(), QRect(0, 0, 329, 21));
        QCOMPARE(dialog->Dir1->geometry(), QRect(0, 24, 329, 156));
        QCOMPARE(dialog->Command1->geometry(), QRect(0, 184, 329, 25));
        QCOMPARE(dialog->focusWidget(), dialog->Command1);
        QList<QWidget*> tabOrder;
        QWidget* w = dialog->Command1;
        do {
            if (w->focusPolicy() & Qt::TabFocus && w->isVisibleTo(dialog)) tabOrder << w;
            w = w->nextInFocusChain();
        } while (w != dialog->Command1);
        QCOMPARE(tabOrder, (QList<QWidget*>{dialog->Command1, dialog->Drive1, dialog->Dir1}));

        const QPoint offset = dialog->frameGeometry().center() - viewer.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QString("off centre by %1,%2").arg(offset.x()).arg(offset.y())));
        // The first copy of a run starts on the current folder.
        QCOMPARE(dialog->Dir1->Path(), QDir::currentPath());
    }

    void copiesIntoTheOpenedFolder_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("one level down") << "target";
        QTest::newRow("deeper") << "target/deep/er";
    }
    void copiesIntoTheOpenedFolder() {
        QFETCH(QString, target);
        TempTree tree;
        const QByteArray clip = "RIFF clip bytes";
        tree.write("from/intro.wav", clip);
        const QString folder = tree.mkdir(target);
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "intro.wav");
        QVERIFY(dialog);
        MsgBoxRecorder boxes;
        copyInto(dialog, folder);
        QVERIFY(boxes.boxes.isEmpty());
        QCOMPARE(contentOf(folder + "/intro.wav"), clip);
        QCOMPARE(entriesOf(folder), QStringList{"intro.wav"});
        QCOMPARE(Module::LastCopyDir, folder + "/");
        QVERIFY(!dialog->isVisible());
        QVERIFY(!dialog->isLoaded());
    }

    void rootTargetGetsOneSeparator() {
        QCOMPARE(withTrailingSeparator("/"), "/");
        QCOMPARE(joinPath("/", "intro.wav"), "/intro.wav");
        QCOMPARE(joinPath("/tmp", "intro.wav"), "/tmp/intro.wav");
        // A copy into the root whose source went away: nothing is written
        // there, and the folder is remembered with a single separator.
        TempTree tree;
        const QString name = "quillory-vanished-" + QFileInfo(tree.path()).fileName() + ".wav";
        const QString source = tree.write(name, "x");
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.path(), name);
        QVERIFY(dialog);
        QVERIFY(QFile::remove(source));
        MsgBoxRecorder boxes;
        copyInto(dialog, "/");
        QCOMPARE(Module::LastCopyDir, "/");
        QVERIFY(!QFile::exists("/" + name));
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]),
                 "Can't copy: " + QString::fromLocal8Bit(strerror(ENOENT)) + "|48|" + ErrorTitle);
        QVERIFY(dialog->isVisible());
    }

    void secondCopyOpensOnFirstCopysFolder_data() {
        QTest::addColumn<bool>("ownVolume");
        QTest::newRow("same volume") << false;
        QTest::newRow("target on another volume") << true;
    }
    void secondCopyOpensOnFirstCopysFolder() {
        QFETCH(bool, ownVolume);
        TempTree tree;
        if (ownVolume) {
            const QString root = tree.path();
            Volumes::setProvider([root] { return QList<Volume>{{"root", "/"}, {"stick", root}}; });
        }
        tree.write("from/a.wav", "A");
        tree.write("from/b.wav", "B");
        const QString folder = tree.mkdir("to/deep");
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "a.wav");
        QVERIFY(dialog);
        copyInto(dialog, folder);
        QVERIFY(!dialog->isVisible());

        QCOMPARE(chooseCopy(viewer, tree.file("from"), "b.wav"), dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->Command1->text(), "Copy: b.wav to selected directory");
        QCOMPARE(dialog->Dir1->Path(), folder);
        const QList<Volume> volumes = Volumes::list();
        QCOMPARE(dialog->Drive1->volumeRoot(),
                 volumes.value(Volumes::indexOfVolumeHolding(volumes, folder)).root);
    }

    void goneLastFolderOpensOnCurrentFolder() {
        TempTree tree;
        tree.write("a.wav", "A");
        Module::LastCopyDir = tree.file("removed") + "/";
        TheViewer viewer;
        MsgBoxRecorder boxes;
        Copy* dialog = chooseCopy(viewer, tree.path(), "a.wav");
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(boxes.boxes.isEmpty());
        QCOMPARE(dialog->Dir1->Path(), QDir::currentPath());
        QCOMPARE(dialog->Command1->text(), "Copy: a.wav to selected directory");
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
        // Opened again, it is loaded afresh on the remembered folder.
        QCOMPARE(chooseCopy(viewer, tree.file("from"), "a.wav"), dialog);
        QCOMPARE(dialog->Dir1->Path(), tree.path());
    }

    void copyKeepsTheFileItWasOpenedFor() {
        TempTree tree;
        tree.write("from/a.wav", "content of a");
        tree.write("from/b.wav", "content of b");
        tree.write("from/c.wav", "content of c");
        const QString folder = tree.mkdir("to");
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "a.wav");
        QVERIFY(dialog);
        dialog->Dir1->setPath(folder);

        // Clicking another file while the dialog is open changes nothing in it.
        QVERIFY(selectFile(viewer, "b.wav"));
        QCOMPARE(Module::SelectedPath, tree.file("from/b.wav"));
        QCOMPARE(dialog->Command1->text(), "Copy: a.wav to selected directory");
        MsgBoxRecorder boxes;
        dialog->Command1_Click();
        QCOMPARE(entriesOf(folder), QStringList{"a.wav"});
        QCOMPARE(contentOf(folder + "/a.wav"), "content of a");

        // Copy chosen again while open takes the new file, the caption with it,
        // and leaves the dialog's lists where the user put them.
        QCOMPARE(chooseCopy(viewer, tree.file("from"), "b.wav"), dialog);
        dialog->Dir1->setPath(tree.path());
        QCOMPARE(chooseCopy(viewer, tree.file("from"), "c.wav"), dialog);
        QCOMPARE(dialog->Command1->text(), "Copy: c.wav to selected directory");
        QCOMPARE(dialog->Dir1->Path(), tree.path());
        dialog->Command1_Click();
        QCOMPARE(contentOf(tree.file("c.wav")), "content of c");
        QVERIFY(!QFile::exists(tree.file("b.wav")));
        QVERIFY(boxes.boxes.isEmpty());
    }

    void failedCopyKeepsFilesAndDialog_data() {
        QTest::addColumn<bool>("ontoItself");
        QTest::newRow("onto itself") << true;
        QTest::newRow("broken half-way over an existing target") << false;
    }
    void failedCopyKeepsFilesAndDialog() {
        QFETCH(bool, ontoItself);
        TempTree tree;
        QByteArray clip(150000, 'c');
        const QByteArray old(2000, 'o');
        tree.write("from/a.wav", clip);
        tree.write("to/a.wav", old);
        const QString folder = tree.file(ontoItself ? "from" : "to");
        const QStringList before = entriesOf(folder);
        const QByteArray expected = ontoItself ? clip : old;
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.file("from"), "a.wav");
        QVERIFY(dialog);
        dialog->Dir1->setPath(folder);
        MsgBoxRecorder boxes;
        {
            FileSizeLimit limit(ontoItself ? RLIM_INFINITY : 100000);
            dialog->Command1_Click();
        }
        QCOMPARE(contentOf(folder + "/a.wav"), expected);
        QCOMPARE(entriesOf(folder), before);
        QCOMPARE(boxes.boxes.size(), 1);
        QVERIFY2(boxes.boxes[0].prompt.startsWith("Can't copy: ") && boxes.boxes[0].prompt != InUse,
                 qPrintable(boxes.boxes[0].prompt));
        QCOMPARE(boxes.boxes[0].code, int(Mb::Exclamation));
        QCOMPARE(boxes.boxes[0].title, ErrorTitle);
        QVERIFY(dialog->isVisible());
        QCOMPARE(Module::LastCopyDir, folder + "/");
    }

    void refusedTargetFolder_data() {
        QTest::addColumn<bool>("writable");
        QTest::newRow("writable folder (control)") << true;
        QTest::newRow("read-only folder") << false;
    }
    void refusedTargetFolder() {
        QFETCH(bool, writable);
        TempTree tree;
        const QByteArray clip = "clip";
        tree.write("from/a.wav", clip);
        const QString folder = tree.mkdir("to");
        QVERIFY(Unprivileged::prepare(tree.path(), 0755, false));
        QVERIFY(Unprivileged::prepare(tree.file("from"), 0755, false));
        QVERIFY(Unprivileged::prepare(folder, writable ? 0755 : 0555, true));

        const auto found = Unprivileged::run({tree.file("from"), "a.wav", folder});
        QVERIFY2(!found.contains("exit"), "the unprivileged copy did not run");
        QCOMPARE(found.value("last"), folder + "/");
        if (writable) {
            QVERIFY(!found.contains("box"));
            QCOMPARE(found.value("visible"), "no");
            QCOMPARE(contentOf(folder + "/a.wav"), clip);
        } else {
            QCOMPARE(found.values("box"), QStringList{InUse + "|48|" + ErrorTitle});
            QCOMPARE(found.value("visible"), "yes");
            QCOMPARE(found.value("loaded"), "yes");
            QVERIFY(entriesOf(folder).isEmpty());
        }
    }

    void driveWithoutMedium() {
        TempTree tree;
        tree.write("a.wav", "A");
        const QString stick = tree.file("stick");
        Volumes::setProvider([stick] { return QList<Volume>{{"root", "/"}, {"stick", stick}}; });
        TheViewer viewer;
        Copy* dialog = chooseCopy(viewer, tree.path(), "a.wav");
        QVERIFY(dialog);
        dialog->Dir1->setPath(tree.path());
        MsgBoxRecorder boxes;
        dialog->Drive1->setDrive(stick);
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(describe(boxes.boxes[0]),
                 "Please insert a disk, this drive is not accessable|48|" + ErrorTitle);
        QCOMPARE(dialog->Dir1->Path(), tree.path());
        QCOMPARE(dialog->Drive1->volumeRoot(), stick);
        QVERIFY(dialog->isVisible());
    }
};

int main(int argc, char** argv) {
    if (Unprivileged::isSubjectRun(argc, argv)) return copySubject(argc, argv);
    QApplication app(argc, argv);
    CopyDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_copydialog.moc"
