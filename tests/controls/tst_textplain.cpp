#include "controls/RichTextPane.h"
#include "formats/TextFileContent.h"
#include "formats/tst_picture_files.h"
#include "support/Checks.h"
#include "support/TempTree.h"

#include <QFontInfo>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QtTest>

namespace {
QByteArray utf16(const QString& text, bool bigEndian, bool mark = true) {
    QByteArray out(mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        out.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return out;
}
// RTF of a word and pictures of one colour, large enough to take a while.
QByteArray pictures(const char* word, QColor color, int count) {
    QImage image(1000, 1000, QImage::Format_RGB32);
    image.fill(color);
    const QByteArray pict =
        "{\\pict\\pngblip\\picwgoal600\\pichgoal600 " + pic::saved(image, "PNG").toHex() + "}";
    return "{\\rtf1 " + QByteArray(word) + " " + pict.repeated(count) + "}";
}
// Whether a document shows what the tests below load first: the word "old"
// or a red picture.
bool showsOld(QTextDocument* doc) {
    const QString text = doc->toPlainText();
    if (text.contains("old")) return true;
    if (!text.contains(QChar::ObjectReplacementCharacter)) return false;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
            if (!image.isValid()) continue;
            const QImage shown =
                doc->resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
            if (shown.width() > 1 && shown.pixelColor(1, 1) == QColor(Qt::red)) return true;
        }
    return false;
}
// Block texts joined by LF: each block is one line as the pane shows it.
QString lines(RichTextPane& pane) {
    pane.finishLoading();
    QStringList blocks;
    for (QTextBlock b = pane.document()->begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(u'\n');
}
} // namespace

// Plain text, NFO art and the pane's own behaviour while loading.
class TextPlainTest : public QObject {
    Q_OBJECT
    TempTree tree_;

  private slots:
    void decoding_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("utf-8") << "a.txt" << u"Grüße ✓"_qs.toUtf8() << u"Grüße ✓"_qs;
        QTest::newRow("utf-8 mark") << "a.txt"
                                    << "\xEF\xBB\xBF" + u"héllo"_qs.toUtf8() << u"héllo"_qs;
        QTest::newRow("utf-16 le") << "a.txt" << utf16(u"Ωmega\r\nx"_qs, false) << u"Ωmega\nx"_qs;
        QTest::newRow("utf-16 be") << "a.txt" << utf16(u"Ωmega\nx"_qs, true) << u"Ωmega\nx"_qs;
        QTest::newRow("utf-16 le without a mark")
            << "a.txt" << utf16(u"Ωmega, Grüße\r\nx"_qs, false, false) << u"Ωmega, Grüße\nx"_qs;
        QTest::newRow("utf-16 be without a mark")
            << "a.txt" << utf16(u"Привет, мир. Да!"_qs, true, false) << u"Привет, мир. Да!"_qs;
        QTest::newRow("a log with a stray NUL")
            << "log.txt" << QByteArray("12:00 started\n").repeated(8) + QByteArray("\0ok\n", 4)
            << u"12:00 started\n"_qs.repeated(8) + u"\u2400ok\n"_qs;
        QTest::newRow("zero bytes in step with control codes")
            << "data.txt" << QByteArray("\x01\x00\x02\x00\x03\x00\x04\x00\x05\x00z\x00", 12)
            << RichTextPane::unreadableText();
        QTest::newRow("invalid utf-8 is windows-1252")
            << "a.txt" << QByteArray("caf\xE9 \x80 \x93q\x94 \x8A") << u"café € “q” Š"_qs;
        QTest::newRow("one bad byte decides")
            << "a.txt" << QByteArray("\xE2\x9C\x93 ok \xFF") << u"âœ“ ok ÿ"_qs;
        QTest::newRow("crlf") << "a.txt" << QByteArray("one\r\ntwo\r\n") << u"one\ntwo\n"_qs;
        QTest::newRow("mixed") << "a.txt" << QByteArray("a\r\nb\rc\nd\r\r\ne")
                               << u"a\nb\nc\nd\n\ne"_qs;
        QTest::newRow("long CR lines across load steps")
            << "a.txt"
            << (QByteArray(2000, 'x') + "\r").repeated(40) + "\r\n" + QByteArray(2000, 'y')
            << (QString(2000, u'x') + u'\n').repeated(40) + u'\n' + QString(2000, u'y');
        // Beyond 2048 characters a line goes on in a new paragraph, after a blank if one is near.
        QTest::newRow("overlong lines in paragraphs")
            << "a.txt" << QByteArray(5000, 'x') + "\n" + QByteArray("word ").repeated(500)
            << QString(2048, u'x') + u'\n' + QString(2048, u'x') + u'\n' + QString(904, u'x') +
                   u'\n' + u"word "_qs.repeated(409) + u'\n' + u"word "_qs.repeated(91);
        QTest::newRow("empty") << "a.txt" << QByteArray() << QString();
        QTest::newRow("markup stays text")
            << "a.txt" << QByteArray("<b>x</b> & {\\b y}") << u"<b>x</b> & {\\b y}"_qs;
        QTest::newRow("nfo box drawing") << "art.nfo"
                                         << QByteArray("\xC9\xCD\xBB\r\n\xBA \xBA\r\n\xC8\xCD\xBC"
                                                       "\r\n\xB0\xB1\xB2\xDB \x82\x9B")
                                         << u"╔═╗\n║ ║\n╚═╝\n░▒▓█ é¢"_qs;
        QTest::newRow("nfo any case") << "ART.NfO" << QByteArray("\xC4\xC5\xC4") << u"─┼─"_qs;
        QTest::newRow("same bytes as txt") << "art.txt" << QByteArray("\xC9\xCD\xBB") << u"ÉÍ»"_qs;
        // Texts in a legacy code page, found by the detector.
        const auto encoded = [](const char* charset, const QString& text) {
            QStringEncoder encoder(charset);
            const QByteArray bytes = encoder.encode(text);
            return encoder.isValid() && !encoder.hasError() ? bytes : QByteArray("<no encoder>");
        };
        const QString russian = u"Съешь же ещё этих мягких французских булок, да выпей чаю. "
                                u"Широкая электрификация южных губерний даст мощный толчок."_qs;
        const QString czech = u"Příliš žluťoučký kůň úpěl ďábelské ódy. Nechť již hříšné "
                              u"saxofony ďáblů rozezvučí síň úděsnými tóny waltzu."_qs;
        const QString polish = u"Zażółć gęślą jaźń. Pchnąć w tę łódź jeża lub ośm skrzyń fig."_qs;
        const QString greek = u"Ξεσκεπάζω την ψυχοφθόρα βδελυγμία. Γαζέες και μυρτιές δεν θα "
                              u"βρω πια στο χρυσαφί ξέφωτο."_qs;
        const QString japanese = u"いろはにほへと ちりぬるを わかよたれそ つねならむ。"
                                 u"日本語のテキストファイルです。"_qs;
        const QString chinese =
            u"我能吞下玻璃而不伤身体。天地玄黄，宇宙洪荒。这是一个中文文本。"_qs;
        QTest::newRow("windows-1251") << "ru.txt" << encoded("windows-1251", russian) << russian;
        QTest::newRow("koi8-r") << "ru.txt" << encoded("KOI8-R", russian) << russian;
        QTest::newRow("windows-1250 czech") << "cs.txt" << encoded("windows-1250", czech) << czech;
        QTest::newRow("windows-1250 polish")
            << "pl.txt" << encoded("windows-1250", polish) << polish;
        QTest::newRow("iso-8859-7") << "el.txt" << encoded("ISO-8859-7", greek) << greek;
        QTest::newRow("shift-jis") << "ja.txt" << encoded("Shift_JIS", japanese) << japanese;
        QTest::newRow("gb18030") << "zh.txt" << encoded("GB18030", chinese) << chinese;
        QTest::newRow("short windows-1251")
            << "ru.txt" << encoded("windows-1251", u"Привет"_qs) << u"Привет"_qs;
        QTest::newRow("short windows-1252")
            << "fr.txt" << QByteArray("Caf\xE9 cr\xE8me") << u"Café crème"_qs;
        QTest::newRow("short ascii") << "a.txt" << QByteArray("OK") << u"OK"_qs;
        QTest::newRow("one ascii letter") << "a.txt" << QByteArray("a\r\n") << u"a\n"_qs;
        QTest::newRow("binary") << "data.txt" << QByteArray("PK\x03\x04\x00\x00junk", 10)
                                << RichTextPane::unreadableText();
    }
    void decoding() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        RichTextPane pane;
        pane.setFileName(tree_.write(name, bytes));
        QCOMPARE(lines(pane), expected);
        QCOMPARE(pane.FileName(), tree_.file(name));
    }

    // NFO art keeps its lines, in a fixed-pitch font, and scrolls sideways;
    // every other text wraps.
    void onlyNfoArtIsUnwrapped() {
        RichTextPane pane;
        pane.resize(353, 393); // the pane's design size
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        const QByteArray wide = QByteArray(200, '\xCD') + " end of a wide line\r\n";
        for (const char* name : {"art.nfo", "wide.txt", "ART.NFO", "wide.doc"}) {
            pane.setFileName(tree_.write(name, wide));
            pane.finishLoading();
            QCoreApplication::processEvents();
            const bool nfo = QByteArray(name).toLower().endsWith(".nfo");
            const QTextBlock first = pane.document()->firstBlock();
            QCOMPARE(first.layout()->lineCount() == 1, nfo);
            QCOMPARE(QFontInfo(pane.document()->defaultFont()).fixedPitch(), nfo);
            QCOMPARE(pane.horizontalScrollBar()->isVisible(), nfo);
            QCOMPARE(pane.horizontalScrollBar()->maximum() > 0, nfo);
        }
    }

    void loadReplacesTheDocument() {
        RichTextPane pane;
        pane.setFileName(tree_.write("one.txt", "first"));
        pane.setFileName(tree_.write("two.rtf", "{\\rtf1 second}"));
        QCOMPARE(pane.document()->toPlainText(), "second");
        pane.setFileName(tree_.write("three.txt", "third"));
        QCOMPARE(pane.document()->toPlainText(), "third");
    }

    void failures() {
        RichTextPane pane;
        pane.setFileName(tree_.write("kept.txt", "kept"));
        QCOMPARE(errorOf([&] { pane.setFileName(tree_.file("missing.txt")); }), 53);
        QCOMPARE(errorOf([&] { pane.setFileName(tree_.mkdir("folder.txt")); }), 70);
        QCOMPARE(pane.document()->toPlainText(), "kept");
        QCOMPARE(pane.FileName(), tree_.file("kept.txt"));
    }

    void unreadableFileIs70() {
        // Root reads everything, so the load runs again as an unprivileged user.
        const QByteArray child = qgetenv("QUILLORY_UNREADABLE");
        if (!child.isEmpty()) {
            RichTextPane pane;
            QCOMPARE(errorOf([&] { pane.setFileName(QString::fromLocal8Bit(child)); }), 70);
            return;
        }
        if (QStandardPaths::findExecutable("setpriv").isEmpty()) QSKIP("setpriv is missing");
        const QString path = tree_.write("secret.txt", "secret");
        QVERIFY(QFile::setPermissions(tree_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLORY_UNREADABLE", path);
        env.insert("HOME", "/tmp");
        process.setProcessEnvironment(env);
        process.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                  QCoreApplication::applicationFilePath(), "unreadableFileIs70"});
        QVERIFY(process.waitForFinished(60000));
        const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
        QVERIFY2(process.exitCode() == 0, output.constData());
        QVERIFY2(output.contains("PASS   : TextPlainTest::unreadableFileIs70"), output.constData());
    }

    // A document read whole is read up to a bound: a huge one (here sparse,
    // 5 GB) shows its start instead of asking for memory it cannot get.
    void hugeDocumentReadsItsStart() {
        const QString path = tree_.write("huge.rtf", "{\\rtf1 start of a huge document}");
        QVERIFY(QFile::resize(path, 5LL << 30));
        const std::atomic_bool never{false};
        const TextFileContent content = readTextFile(openTextFile(path), false, never);
        QCOMPARE(content.kind, TextFileContent::Rtf);
        QCOMPARE(content.rtf.size(), 64LL << 20);
        QVERIFY(content.rtf.startsWith("{\\rtf1 start"));
    }

    void bigTextArrivesInSteps() {
        QByteArray bytes;
        for (int i = 0; bytes.size() < 1024 * 1024; ++i)
            bytes += "line " + QByteArray::number(i) + " with some words, ü\r\n";
        RichTextPane pane;
        QSignalSpy finished(&pane, &RichTextPane::loadFinished);
        // What the pane shows each time it changes: blocks and the first line.
        QList<std::pair<int, QString>> shown;
        connect(&pane, &QTextEdit::textChanged, [&] {
            if (pane.document()->blockCount() > 1)
                shown.append({pane.document()->blockCount(), pane.document()->firstBlock().text()});
        });
        pane.setFileName(tree_.write("big.txt", bytes));
        QVERIFY(pane.isLoading());
        QVERIFY(finished.wait(60000));
        QVERIFY(!pane.isLoading());
        const QString whole = QString::fromUtf8(bytes).replace("\r\n", "\n");
        QCOMPARE(pane.document()->toPlainText(), whole);
        // Its start showed first, the rest in steps, of some 30,000 lines.
        QVERIFY(shown.size() > 3);
        QVERIFY(shown.first().first < 1000);
        QCOMPARE(shown.first().second, u"line 0 with some words, ü"_qs);
    }

    // A file replaced while it is still being read, or its pictures decoded,
    // never shows: neither its text nor a picture of it lands later.
    void newLoadDropsTheOld_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QString>("expected");
        // Each beyond what the pane reads at once.
        const QByteArray oldText = QByteArray("old words\n").repeated(30000);
        const QByteArray newText = QByteArray("new words\n").repeated(30000);
        const QString picture(QChar::ObjectReplacementCharacter);
        QTest::newRow("text being read, then a small text")
            << oldText << QByteArray("new") << "new";
        QTest::newRow("text being read, then another")
            << oldText << newText << QString::fromLatin1(newText);
        QTest::newRow("text steps, then a small text")
            << QByteArray(2 * 1024 * 1024, 'x') + "\nold" << QByteArray("new") << "new";
        QTest::newRow("pictures being decoded, then others")
            << pictures("old", Qt::red, 20) << pictures("new", Qt::blue, 3)
            << "new " + picture.repeated(3);
        QTest::newRow("pictures being decoded, then a text")
            << pictures("old", Qt::red, 20) << QByteArray("new") << "new";
    }
    void newLoadDropsTheOld() {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(QString, expected);
        RichTextPane pane;
        bool replaced = false, oldShown = false;
        connect(&pane, &QTextEdit::textChanged,
                [&] { oldShown |= replaced && showsOld(pane.document()); });
        pane.setFileName(tree_.write("first.doc", first));
        QVERIFY(pane.isLoading());
        pane.setFileName(tree_.write("second.doc", second));
        replaced = true;
        QTRY_VERIFY_WITH_TIMEOUT(!pane.isLoading(), 60000);
        QCOMPARE(pane.document()->toPlainText(), expected);
        QVERIFY(!oldShown);
        QVERIFY(!showsOld(pane.document()));
    }
};

QTEST_MAIN(TextPlainTest)
#include "tst_textplain.moc"
