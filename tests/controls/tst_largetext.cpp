#include "controls/LargeTextView.h"
#include "controls/LineIndex.h"
#include "controls/RichTextPane.h"
#include "formats/TextFileContent.h"
#include "support/Checks.h"
#include "support/MsgBoxRecorder.h"
#include "support/TempTree.h"

#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Above what the pane shows in its own document.
constexpr qint64 Large = 5 * 1024 * 1024;
// Enough for a few of the view's blocks, of 64 KB.
constexpr qint64 Blocks = 300 * 1024;
constexpr qint64 Block = 64 * 1024;

QByteArray utf16(const QString& text, bool bigEndian) {
    QByteArray out(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        out.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return out;
}

// Lines numbered and of varied length (up to some 200 characters), so that
// many of them cross the boundaries of the view's blocks, ended by end.
QString numberedLines(qint64 chars, const QString& end, const QString& extra = {}) {
    QString text;
    for (int i = 0; text.size() < chars; ++i)
        text += u"line %1 "_qs.arg(i) + QString(i * 37 % 200, QChar(u'a' + i % 26)) + extra + end;
    return text;
}

QStringList linesOf(const QString& text) {
    QStringList lines = QString(text).replace("\r\n", "\n").replace('\r', '\n').split('\n');
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void key(QWidget* w, int key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(w, Qt::Key(key), modifiers);
}
} // namespace

// The large-text view, inside the rich-text pane as the viewer has it.
class LargeTextTest : public QObject {
    Q_OBJECT
    TempTree tree_;

    // The view of the viewer's size, given path as the pane gives it a large file.
    void open(LargeTextView& view, const QString& path, bool nfo = false) {
        view.resize(353, 393);
        view.show();
        FileHandle file = openTextFile(path);
        const QByteArray start = textFileStart(file.fd(), 64 * 1024);
        view.open(std::move(file), TextEncoding::ofSample(start, nfo));
        view.setFocus();
    }

    // A pane of the viewer's size showing path in its large view.
    LargeTextView* show(RichTextPane& pane, const QString& path) {
        pane.resize(353, 393);
        pane.show();
        pane.setFileName(path);
        LargeTextView* view = pane.largeText();
        if (view) view->setFocus();
        return view;
    }

  private slots:
    // Every line, found by the worker and shown, and the last page reached
    // at once; each screen as the text has it.
    void lines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString lf = numberedLines(Blocks, "\n"), crlf = numberedLines(Blocks, "\r\n");
        QTest::newRow("LF, lines across blocks") << lf.toUtf8() << lf;
        QTest::newRow("CR LF") << crlf.toUtf8() << crlf;
        QTest::newRow("CR") << numberedLines(Blocks, "\r").toUtf8() << numberedLines(Blocks, "\r");
        QTest::newRow("no line end at the end") << (lf + "last").toUtf8() << lf + "last";
        const QString utf8 = numberedLines(Blocks, "\n", u" Grüße ✓ 😀"_qs);
        QTest::newRow("UTF-8, characters across blocks") << utf8.toUtf8() << utf8;
        const QString wide = numberedLines(Blocks / 2, "\r\n", u" Ωmega 😀"_qs);
        QTest::newRow("UTF-16 LE across blocks") << utf16(wide, false) << wide;
        QTest::newRow("UTF-16 BE across blocks") << utf16(wide, true) << wide;
        // Known by the pattern of its zero bytes, as a whole text is.
        const QString unmarked = numberedLines(Blocks / 2, "\n", u" Ωmega, мир"_qs);
        QTest::newRow("UTF-16 LE without a mark") << utf16(unmarked, false).mid(2) << unmarked;
        QTest::newRow("UTF-8 mark") << "\xEF\xBB\xBF" + lf.toUtf8() << lf;
        const QString cyrillic =
            numberedLines(Blocks, "\r\n",
                          u" Съешь же ещё этих мягких французских булок, да выпей чаю. "
                          u"Широкая электрификация южных губерний."_qs);
        QStringEncoder cp1251("windows-1251");
        QTest::newRow("windows-1251") << QByteArray(cp1251.encode(cyrillic)) << cyrillic;
    }
    void lines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        LargeTextView lines;
        LargeTextView* view = &lines;
        open(lines, tree_.write("big.txt", bytes));
        const QStringList expected = linesOf(text);
        QCOMPARE(view->shownLines().first(), expected.first());
        view->finishIndexing();
        QCOMPARE(view->lineCount(), expected.size());
        for (qint64 i = 0; i < view->lineCount(); i += 7)
            QCOMPARE(view->lineText(i), expected[i]);
        QCOMPARE(view->lineText(view->lineCount() - 1), expected.last());
        // Paging down walks the same lines as the worker found.
        const QStringList first = view->shownLines();
        const int rows = first.size();
        QCOMPARE(first, expected.mid(0, rows));
        for (int page = 1; page < 20; ++page) {
            key(view, Qt::Key_PageDown);
            QCOMPARE(view->shownLines(), expected.mid(page * (rows - 1), rows));
        }
        key(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view->shownLines(), expected.mid(expected.size() - rows));
        QCOMPARE(view->verticalScrollBar()->value(), view->verticalScrollBar()->maximum());
        key(view, Qt::Key_PageUp);
        QCOMPARE(view->shownLines(), expected.mid(expected.size() - 2 * rows + 1, rows));
        // The scroll bar jumps anywhere.
        view->verticalScrollBar()->setValue(int(expected.size() / 2));
        QCOMPARE(view->shownLines(), expected.mid(expected.size() / 2, rows));
    }

    // A line beyond what lays out quickly shows in pieces, each laid out
    // alone; the ends show at once.
    void hundredMegabyteLine() {
        const qint64 size = 100 * 1024 * 1024;
        QByteArray bytes(size, Qt::Uninitialized);
        for (qint64 i = 0; i < size; ++i)
            bytes[i] = char('a' + i % 26);
        RichTextPane pane;
        LargeTextView* view = show(pane, tree_.write("line.txt", bytes));
        QVERIFY(view);
        const QStringList top = view->shownLines();
        QCOMPARE(top[0], QString::fromLatin1(bytes.first(PieceBytes)));
        QCOMPARE(top[1], QString::fromLatin1(bytes.sliced(PieceBytes, PieceBytes)));
        key(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view->shownLines().last(), QString::fromLatin1(bytes.last(PieceBytes)));
        bytes.clear();
        pane.finishLoading();
        QCOMPARE(view->lineCount(), size / PieceBytes);
    }

    void emptyAndTiny_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty") << QByteArray() << QStringList{""};
        QTest::newRow("one line end") << QByteArray("\n") << QStringList{""};
        QTest::newRow("blank lines") << QByteArray("\r\n\r\n\rx") << QStringList{"", "", "", "x"};
        QTest::newRow("UTF-16 mark alone") << QByteArray("\xFF\xFE") << QStringList{""};
    }
    // Files as small as these take the view only when it is given them.
    void emptyAndTiny() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, shown);
        const QString path = tree_.write("tiny.txt", bytes);
        LargeTextView view;
        view.resize(300, 300);
        view.show();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        view.open(FileHandle(dup(file.handle())), TextEncoding::ofSample(bytes, false));
        view.finishIndexing();
        QCOMPARE(view.shownLines(), shown);
        QCOMPARE(view.lineCount(), shown.size());
        key(&view, Qt::Key_End, Qt::ControlModifier);
        key(&view, Qt::Key_PageDown, Qt::ShiftModifier);
        QCOMPARE(view.shownLines(), shown);
        view.selectAll();
        QCOMPARE(view.selectedText(), TextEncoding::ofSample(bytes, false)
                                          .decode(bytes.mid(bytes.startsWith("\xFF\xFE") ? 2 : 0)));
    }

    // Cut short while shown, the file shows what is left; nothing fails.
    void truncatedWhileShown() {
        const QString text = numberedLines(3 * Blocks, "\n");
        const QString path = tree_.write("cut.txt", text.toUtf8());
        LargeTextView cut;
        LargeTextView* view = &cut;
        open(cut, path);
        cut.finishIndexing(); // the index holds lines past the cut
        QVERIFY(QFile::resize(path, Blocks));
        const QStringList kept = linesOf(text.first(Blocks));
        key(view, Qt::Key_End, Qt::ControlModifier);
        const QStringList last = view->shownLines();
        QVERIFY(!last.isEmpty());
        QCOMPARE(last.last(), kept.last());
        view->finishIndexing();
        key(view, Qt::Key_PageUp);
        key(view, Qt::Key_PageDown, Qt::ShiftModifier);
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        view->repaint();
        view->selectAll();
        view->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), text.first(Blocks));
        QCOMPARE(view->lineCount(), kept.size());
    }

    // A log that grows while shown shows what it had when selected, and the
    // rest once selected again.
    void growingWhileShown() {
        const QString text = numberedLines(Large, "\n");
        const QString path = tree_.write("live.log.txt", text.toUtf8());
        RichTextPane pane;
        LargeTextView* view = show(pane, path);
        QVERIFY(view);
        QFile log(path);
        QVERIFY(log.open(QIODevice::Append));
        log.write("one more line\nand the last\n");
        log.flush();
        key(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view->shownLines().last(), linesOf(text).last());
        pane.finishLoading();
        QCOMPARE(view->lineCount(), linesOf(text).size());
        view = show(pane, path);
        key(view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view->shownLines().last(), "and the last");
    }

    // A selection made with mouse and keys copies exactly the text it spans,
    // across a block boundary; Shift with the arrows, Home and End.
    void selectionCopies_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString utf8 = numberedLines(Blocks, "\r\n", u" Grüße ✓"_qs);
        QTest::newRow("UTF-8") << utf8.toUtf8() << utf8;
        const QString wide = numberedLines(Blocks / 2, "\n", u" Ωmega"_qs);
        QTest::newRow("UTF-16 BE") << utf16(wide, true) << wide;
    }
    void selectionCopies() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        LargeTextView selecting;
        LargeTextView* view = &selecting;
        open(selecting, tree_.write("sel.txt", bytes));
        view->finishIndexing();
        // The line that crosses the first block boundary, three rows down.
        const QStringList lines = linesOf(text);
        const qint64 line =
            TextEncoding::ofSample(bytes, false).decode(bytes.first(Block)).count('\n');
        view->verticalScrollBar()->setValue(int(line - 3));
        const int rowHeight = view->fontMetrics().lineSpacing();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(4, 4 + rowHeight * 3 + 2));
        key(view, Qt::Key_Right);
        key(view, Qt::Key_Right);
        key(view, Qt::Key_Down, Qt::ShiftModifier);
        key(view, Qt::Key_Down, Qt::ShiftModifier);
        key(view, Qt::Key_End, Qt::ShiftModifier);
        key(view, Qt::Key_Left, Qt::ShiftModifier);
        view->copy();
        const qsizetype from = text.indexOf(lines[line] + (text.contains('\r') ? "\r\n" : "\n"));
        QVERIFY(from > 0);
        const qsizetype to = text.indexOf(lines[line + 2], from) + lines[line + 2].size() - 1;
        QCOMPARE(QGuiApplication::clipboard()->text(), text.mid(from + 2, to - from - 2));
        // Ctrl+A and Ctrl+C: all of it; the same from the context menu.
        key(view, Qt::Key_A, Qt::ControlModifier);
        key(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QGuiApplication::clipboard()->clear();
        view->setFocus();
        key(view, Qt::Key_Home, Qt::ControlModifier);
        const std::unique_ptr<QMenu> menu(view->createContextMenu());
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.first()->isEnabled(), false); // nothing selected
        actions.last()->trigger();
        QVERIFY(menu->actions().first()->text().contains("Copy"));
        const std::unique_ptr<QMenu> again(view->createContextMenu());
        again->actions().first()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        // A drag with the mouse from the start of the third row to the
        // start of the fifth: two whole lines, the boundary between them.
        view->horizontalScrollBar()->setValue(0);
        view->verticalScrollBar()->setValue(int(line - 3));
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(4, 4 + rowHeight * 2 + 2));
        QTest::mouseMove(view->viewport(), QPoint(4, 4 + rowHeight * 4 + 2));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(4, 4 + rowHeight * 4 + 2));
        view->copy();
        const qsizetype third = text.indexOf(lines[line - 1], from - 2 * lines[line - 1].size());
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 text.mid(third, text.indexOf(lines[line + 1], from) - third));
    }

    // Beyond 256 MB a selection copies nothing, and says so.
    void tooLargeToCopy() {
        const QString path = tree_.write("huge.txt");
        QVERIFY(QFile::resize(path, LargeTextView::MaxCopyBytes + 2)); // a sparse file of NULs
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        LargeTextView view;
        view.open(FileHandle(dup(file.handle())), TextEncoding::ofSample("x", false));
        QGuiApplication::clipboard()->setText("before");
        MsgBoxRecorder boxes;
        view.selectAll();
        key(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), "before");
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.first().code, Mb::Exclamation);
        QCOMPARE(boxes.boxes.first().title, "Error..");
    }

    // Ctrl+End while the worker is still counting lines finds the last line
    // by reading backwards. Before the lines, 1 GB of NULs (a sparse file):
    // the worker takes seconds to reach them.
    void endBeforeIndexed() {
        const QString path = tree_.write("long.txt");
        const qint64 hole = qint64(1) << 30;
        QVERIFY(QFile::resize(path, hole));
        const QString tail = numberedLines(4 * Block, "\n");
        QFile append(path);
        QVERIFY(append.open(QIODevice::Append));
        QVERIFY(append.write("\n" + tail.toUtf8()) == tail.size() + 1);
        append.close();
        const QStringList expected = linesOf(tail);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        LargeTextView view;
        view.resize(353, 393);
        view.show();
        QSignalSpy indexed(&view, &LargeTextView::indexed);
        view.open(FileHandle(dup(file.handle())), TextEncoding::ofSample("x", false));
        key(&view, Qt::Key_End, Qt::ControlModifier);
        const QStringList shown = view.shownLines();
        QVERIFY2(view.lineCount() < hole / PieceBytes, "the worker had finished already");
        QCOMPARE(shown, expected.mid(expected.size() - shown.size()));
        key(&view, Qt::Key_PageUp);
        QCOMPARE(view.shownLines(),
                 expected.mid(expected.size() - 2 * shown.size() + 1, shown.size()));
        // Once the index is complete the scroll bar knows where that is.
        QVERIFY(indexed.wait(120000));
        QCOMPARE(view.lineCount(), hole / PieceBytes + expected.size());
        QCOMPARE(view.lineText(view.lineCount() - 1), expected.last());
        QCOMPARE(view.verticalScrollBar()->value(), view.lineCount() - 2 * shown.size() + 1);
    }

    // A file replaced by another while indexed: nothing of the first stays.
    void replacedDropsTheOld() {
        // NFO art of 1 GB, NULs but for the first bytes: some seconds to index.
        const QString old = tree_.write("old.nfo", "old\r\n");
        QVERIFY(QFile::resize(old, qint64(1) << 30));
        const QString now = numberedLines(Large, "\r\n", "new");
        RichTextPane pane;
        QSignalSpy finished(&pane, &RichTextPane::loadFinished);
        LargeTextView* view = show(pane, old);
        QCOMPARE(view->shownLines().first(), "old");
        QVERIFY(view && pane.isLoading());
        QCOMPARE(show(pane, tree_.write("new.txt", now.toUtf8())), view);
        QVERIFY(finished.wait(60000));
        QTest::qWait(100);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(view->lineCount(), linesOf(now).size());
        QCOMPARE(view->verticalScrollBar()->maximum(),
                 linesOf(now).size() - view->shownLines().size());
        QVERIFY(!view->shownLines().join("").contains("old"));
        // A small text, and the pane shows it in its own document.
        pane.setFileName(tree_.write("small.txt", "small"));
        QVERIFY(!pane.largeText());
        QCOMPARE(pane.document()->toPlainText(), "small");
    }

    // Four bytes a line, beyond 4 GB too.
    void indexBeyondFourGigabytes() {
        LineIndex index(2);
        const qint64 G = qint64(1) << 30;
        const std::vector<qint64> starts{3 * G, 4 * G - 1, 4 * G, 4 * G + 7, 9 * G, 9 * G + 1};
        index.append({starts.begin(), starts.begin() + 3});
        QCOMPARE(index.lineOf(4 * G + 3), -1); // not reached yet
        index.append({starts.begin() + 3, starts.end()});
        index.complete();
        QCOMPARE(index.count(), 7);
        for (size_t i = 0; i < starts.size(); ++i) {
            QCOMPARE(index.start(qint64(i) + 1), starts[i]);
            QCOMPARE(index.lineOf(starts[i]), qint64(i) + 1);
            QCOMPARE(index.lineOf(starts[i] - 1), qint64(i));
        }
        QCOMPARE(index.lineOf(0), 0);
        QCOMPARE(index.lineOf(20 * G), 6);
    }

    // The pane's behaviour is the same whichever view shows the file.
    void paneBehaviourStays() {
        RichTextPane pane;
        const QString big = tree_.write("kept.txt", numberedLines(Large, "\n").toUtf8());
        LargeTextView* view = show(pane, big);
        QVERIFY(view);
        QCOMPARE(errorOf([&] { pane.setFileName(tree_.file("missing.txt")); }), 53);
        QCOMPARE(errorOf([&] { pane.setFileName(tree_.mkdir("folder.txt")); }), 70);
        QCOMPARE(pane.largeText(), view);
        QCOMPARE(pane.FileName(), big);
        // Binary, RTF and NFO files of the same size.
        QByteArray binary(Large, '\0');
        binary.replace(0, 4, "PK\x03\x04");
        pane.setFileName(tree_.write("data.txt", binary));
        QVERIFY(!pane.largeText());
        QCOMPARE(pane.document()->toPlainText(), RichTextPane::unreadableText());
        pane.setFileName(
            tree_.write("big.txt", "{\\rtf1 " + QByteArray("word ").repeated(Large / 5) + "}"));
        QVERIFY(!pane.largeText());
        pane.finishLoading();
        QVERIFY(pane.document()->toPlainText().startsWith("word word"));
        view =
            show(pane, tree_.write("art.nfo", QByteArray("\xC9\xCD\xBB\r\n").repeated(Large / 5)));
        QVERIFY(view);
        QCOMPARE(view->shownLines().first(), u"╔═╗"_qs);
        QVERIFY(QFontInfo(view->font()).fixedPitch());
    }
};

QTEST_MAIN(LargeTextTest)
#include "tst_largetext.moc"
