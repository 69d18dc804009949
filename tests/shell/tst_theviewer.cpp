#include "controls/DirListBox.h"
#include "controls/DriveListBox.h"
#include "controls/FileListBox.h"
#include "controls/MediaControl.h"
#include "controls/PictureBox.h"
#include "controls/RichTextPane.h"
#include "shell/TheViewer.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"
#include "system/Twips.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Gives the window an outer height (frame included) in twips.
void setOuterHeight(TheViewer& viewer, int twips, int width = 0) {
    const int frame = viewer.frameGeometry().height() - viewer.height();
    viewer.resize(width ? width : viewer.width(), twipsToPixels(twips) - frame);
}
} // namespace

class TheViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void windowStartsAtItsDesign() {
        TheViewer viewer;
        QCOMPARE(viewer.windowTitle(), QString("The Quillory"));
        QVERIFY(!viewer.windowIcon().isNull());
        QVERIFY(viewer.Label1->text().isEmpty());
        QVERIFY(!viewer.MMControl1->isOpen());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QCOMPARE(viewer.centralWidget()->size(), QSize(twipsToPixels(8385), twipsToPixels(7755)));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(viewer.File1));
        const QList<std::tuple<QWidget*, QRect, bool>> design = {
            {viewer.TextB, QRect(2640, 600, 5295, 5895), false},
            {viewer.MMControl1, QRect(2640, 600, 3540, 495), false},
            {viewer.Picture1, QRect(2640, 600, 1605, 1455), false},
            {viewer.Drive1, QRect(0, 600, 2535, 315), true},
            {viewer.Dir1, QRect(0, 960, 2535, 2790), true},
            {viewer.Label1, QRect(0, 120, 7575, 375), true}};
        for (const auto& [control, twips, visible] : design) {
            QCOMPARE(control->geometry(),
                     twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
            QCOMPARE(control->isVisible(), visible);
        }
    }

    // Tab runs file list, folder list, drive list, then whichever pane shows.
    void tabOrderSkipsHiddenControls_data() {
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing shown") << "";
        QTest::newRow("picture shown") << "p.bmp";
        QTest::newRow("text shown") << "t.txt";
    }
    void tabOrderSkipsHiddenControls() {
        QFETCH(QString, shown);
        TempTree tree;
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(tree.file("p.bmp")));
        tree.write("t.txt", "text");
        TheViewer viewer;
        viewer.File1->setPattern("*.bmp;*.txt");
        viewer.Dir1->setPath(tree.path());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QList<QWidget*> expected = {viewer.File1, viewer.Dir1, viewer.Drive1};
        if (!shown.isEmpty()) {
            viewer.File1->selectIndex(shown == "p.bmp" ? 0 : 1);
            QTRY_VERIFY_WITH_TIMEOUT(!viewer.isPictureLoading(), 20000);
            expected << (shown == "p.bmp" ? static_cast<QWidget*>(viewer.Picture1) : viewer.TextB);
        }
        viewer.File1->setFocus();
        QList<QWidget*> visited{QApplication::focusWidget()};
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited, expected + QList<QWidget*>{viewer.File1});
        // Shift+Tab runs the same round backwards.
        visited = {QApplication::focusWidget()};
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            visited << QApplication::focusWidget();
        }
        std::reverse(expected.begin() + 1, expected.end());
        QCOMPARE(visited, expected + QList<QWidget*>{viewer.File1});
    }

    // Each key that moves the file list's cursor selects and shows the entry.
    void fileListKeysSelectAndShow_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("lands"); // "first", "last", "later", "earlier"
        QTest::newRow("Down") << int(Qt::Key_Down) << 5 << "later";
        QTest::newRow("Home") << int(Qt::Key_Home) << 5 << "first";
        QTest::newRow("End") << int(Qt::Key_End) << 5 << "last";
        QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 5 << "later";
        QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 299 << "earlier";
    }
    void fileListKeysSelectAndShow() {
        QFETCH(int, key);
        QFETCH(int, from);
        QFETCH(QString, lands);
        TempTree tree;
        for (int i = 0; i < 300; ++i)
            tree.write(QString("f%1.dat").arg(i, 3, 10, QChar('0')), "x");
        TheViewer viewer;
        viewer.File1->setPattern("*.dat");
        viewer.Dir1->setPath(tree.path());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        viewer.File1->setFocus();
        // At once, while the list may still be laying out its entries in batches.
        viewer.File1->selectIndex(from);
        QTest::keyClick(viewer.File1, Qt::Key(key));
        const int row = viewer.File1->currentIndex().row();
        const int last = viewer.File1->ListCount() - 1;
        QCOMPARE(last, 299);
        if (lands == "first") QCOMPARE(row, 0);
        if (lands == "last") QCOMPARE(row, last);
        if (lands == "later") QVERIFY(row > from);
        if (lands == "earlier") QVERIFY(row < from);
        QCOMPARE(viewer.File1->FileName(), viewer.File1->List(row));
        QTRY_COMPARE(viewer.Label1->text(), tree.file(viewer.File1->List(row)));
        const QRect place = viewer.File1->visualRect(viewer.File1->currentIndex());
        QVERIFY(viewer.File1->viewport()->rect().contains(place));
    }

    // The focused list shows it: its selection is drawn otherwise than an unfocused one's.
    void focusedListLooksFocused() {
        // A platform theme may draw a selection the same whether its window is
        // active or not; the focus must show all the same.
        const QPalette before = QApplication::palette();
        QPalette same = before;
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            same.setBrush(QPalette::Inactive, role, same.brush(QPalette::Active, role));
        QApplication::setPalette(same);
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        TempTree tree;
        tree.write("a.dat", "x");
        TheViewer viewer;
        viewer.File1->setPattern("*.dat");
        viewer.Dir1->setPath(tree.path());
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        viewer.File1->selectIndex(0);
        for (QListView* list :
             {static_cast<QListView*>(viewer.File1), static_cast<QListView*>(viewer.Dir1)}) {
            const QPoint inRow = list->visualRect(list->currentIndex()).center();
            list->setFocus();
            QTRY_VERIFY(list->hasFocus());
            const QColor focused = list->viewport()->grab().toImage().pixelColor(inRow);
            viewer.Drive1->setFocus();
            QTRY_VERIFY(!list->hasFocus());
            const QColor unfocused = list->viewport()->grab().toImage().pixelColor(inRow);
            const int apart = std::abs(focused.red() - unfocused.red()) +
                              std::abs(focused.green() - unfocused.green()) +
                              std::abs(focused.blue() - unfocused.blue());
            // Unchanged, the two differ by a few units; the pale selection by about 120.
            QVERIFY2(apart > 60, qPrintable(focused.name() + " " + unfocused.name()));
        }
    }

    void menuTree() {
        TheViewer viewer;
        struct Item {
            QAction* action;
            QAction* parent;
            const char* caption;
            bool checkable;
            bool checked;
        };
        const QList<Item> items = {
            {viewer.File, nullptr, "&File", false, false},
            {viewer.FileDel, viewer.File, "&Delete", false, false},
            {viewer.FileCopy, viewer.File, "&Copy", false, false},
            {viewer.FileExit, viewer.File, "E&xit", false, false},
            {viewer.FileOptions, nullptr, "&Options", false, false},
            {viewer.OptionsText, viewer.FileOptions, "&Text Files", false, false},
            {viewer.TextON, viewer.OptionsText, "&ON", true, false},
            {viewer.TextOFF, viewer.OptionsText, "&OFF", true, true},
            {viewer.OptionsSound, viewer.FileOptions, "&Sound Files", false, false},
            {viewer.SoundON, viewer.OptionsSound, "&ON", true, true},
            {viewer.SoundOFF, viewer.OptionsSound, "&OFF", true, false},
            {viewer.OptionsVideo, viewer.FileOptions, "&Video Files", false, false},
            {viewer.VideoON, viewer.OptionsVideo, "&ON", true, true},
            {viewer.VideoOFF, viewer.OptionsVideo, "&OFF", true, false},
            {viewer.Help, nullptr, "&Help", false, false},
            {viewer.About, viewer.Help, "&About", false, false},
        };
        QHash<QAction*, QList<QAction*>> children; // in the table's order; null: the menu bar
        for (const Item& item : items) {
            QVERIFY(item.action);
            QCOMPARE(item.action->text(), QString(item.caption));
            QCOMPARE(item.action->isCheckable(), item.checkable);
            QCOMPARE(item.action->isChecked(), item.checked);
            QVERIFY(item.action->isEnabled() && item.action->isVisible());
            QCOMPARE(item.action->shortcut(),
                     item.action == viewer.FileDel ? QKeySequence(Qt::Key_Delete) : QKeySequence());
            children[item.parent] << item.action;
        }
        QCOMPARE(viewer.menuBar()->actions(), children.take(nullptr));
        for (const auto& [menu, actions] : children.asKeyValueRange())
            QCOMPARE(menu->menu()->actions(), actions);
    }

    void delKeyRunsDelete() {
        TheViewer viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        MsgBoxRecorder boxes;
        QSignalSpy deletes(viewer.FileDel, &QAction::triggered);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QCOMPARE(deletes.count(), 1);
        QCOMPARE(boxes.boxes.size(), 1); // nothing selected: the Delete command says so
    }

    // The file list fills the window's height below its top; a window too
    // short for it keeps the list's last height.
    void fileListFollowsWindowHeight() {
        TheViewer viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        for (const auto& [outer, list] : {std::pair{4500, 0}, {6000, 1500}, {3000, 1500}}) {
            setOuterHeight(viewer, outer);
            QTRY_COMPARE(viewer.Height(), double(outer));
            QCOMPARE(pixelsToTwips(viewer.File1->height()), list);
            QCOMPARE(viewer.File1->pos(), QPoint(0, twipsToPixels(3840)));
        }
        // A larger window gives the panes and the label the space beyond the
        // design size; the lists keep their width.
        const QRect pane = viewer.TextB->geometry();
        const int labelWidth = viewer.Label1->width(), wider = viewer.width() + 200;
        setOuterHeight(viewer, 9000, wider);
        QTRY_COMPARE(pixelsToTwips(viewer.File1->height()), 4500);
        QTRY_COMPARE(viewer.TextB->width(), pane.width() + 200);
        QCOMPARE(viewer.TextB->pos(), pane.topLeft());
        QCOMPARE(viewer.TextB->geometry().bottom() + twipsToPixels(7755 - 600 - 5895),
                 viewer.centralWidget()->height() - 1);
        QCOMPARE(viewer.Label1->width(), labelWidth + 200);
        QCOMPARE(viewer.File1->width(), twipsToPixels(2535));
    }

    void aboutBoxText() {
        TheViewer viewer;
        MsgBoxRecorder boxes;
        viewer.About->trigger();
        QCOMPARE(boxes.boxes.size(), 1);
        const MsgBoxRecorder::Box& box = boxes.boxes.first();
        QCOMPARE(box.code, 64);
        QCOMPARE(box.title, QString("About.."));
        // Four lines, each ended by CR LF and none by a bare line feed; the
        // second names the author and the year, the fourth gives an address.
        static const QRegularExpression about(
            "^The Quillory V1\\.1\r\n(?=[^\r\n]*Tarnwick)(?=[^\r\n]*2026)[^\r\n]*\r\n"
            "\r\nPlease contact me in case of trouble: [^\r\n]+\r\n\\z");
        QVERIFY2(about.match(box.prompt).hasMatch(), qPrintable(box.prompt));
    }
};

QTEST_MAIN(TheViewerTest)
#include "tst_theviewer.moc"
