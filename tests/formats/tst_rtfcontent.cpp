#include "controls/RichTextPane.h"
#include "formats/rtf/RtfReader.h"
#include "support/TempTree.h"
#include "tst_picture_files.h"

#include <QSignalSpy>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>

// GCC 12's LeakSanitizer crashes walking the thread-local storage that glibc
// 2.36 reallocates as image plugins load; leaks are still checked, only
// thread-local storage is not searched for references.
extern "C" const char* __lsan_default_options() {
    return "use_tls=0";
}

// What text, tables and pictures an RTF document yields, and what it hides.
class RtfContentTest : public QObject {
    Q_OBJECT

    TempTree tree_;
    RichTextPane pane_;

    QTextDocument* load(const QByteArray& rtf) {
        pane_.setFileName(tree_.write("doc.rtf", rtf));
        pane_.finishLoading();
        return pane_.document();
    }
    // Block texts joined by LF; line breaks (U+2028) and no-break spaces kept.
    static QString text(QTextDocument* doc) {
        QStringList blocks;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            blocks << b.text();
        return blocks.join(u'\n');
    }
    static QByteArray pictureRtf(const char* format, const char* kind) {
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(QColor(255, 0, 0));
        // Hex split over lines, as writers do.
        QByteArray hex = pic::saved(image, format).toHex();
        for (qsizetype at = 64; at < hex.size(); at += 65)
            hex.insert(at, '\n');
        return QByteArray("{\\rtf1 x{\\pict\\") + kind +
               "\\picw4\\pich3\\picwgoal600\\pichgoal450 " + hex + "}y}";
    }

    static void columns() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
    }
    static void row(const char* name, const QByteArray& rtf, const QString& expected) {
        QTest::newRow(name) << rtf << expected;
    }
    static QList<QTextTable*> tables(QTextDocument* doc) {
        QList<QTextTable*> found;
        for (QTextFrame* frame : doc->rootFrame()->childFrames())
            if (auto* t = qobject_cast<QTextTable*>(frame)) found << t;
        return found;
    }

  private slots:
    void text_data() {
        columns();
        row("cp1252 escapes", R"({\rtf1\ansi caf\'e9 \'80 \'93q\'94})", u"café € “q”"_qs);
        row("cp1251 document", R"({\rtf1\ansi\ansicpg1251 \'cf\'f0\'e8\'e2\'e5\'f2})",
            u"Привет"_qs);
        row("charset of the font",
            R"({\rtf1\ansi\ansicpg1252{\fonttbl{\f0 Arial;}{\f1\fcharset204 )"
            R"(Arial Cyr;}{\f2\fcharset161 Greek;}}\f1 \'e4\'e0 \f0 \'e4 \f2 \'e1})",
            u"да ä α"_qs);
        row("raw high bytes follow the code page", "{\\rtf1\\ansi\\ansicpg1251 \xcf\xf0\xe8}",
            u"При"_qs);
        row("unicode with fallbacks", R"({\rtf1 \u8364? \uc2\u1071\'3f\'3f z})", u"€ Я z"_qs);
        row("negative unicode and surrogates", R"({\rtf1 \u-10179?\u-8704?!})", u"😀!"_qs);
        row("uc0 has no fallback", R"({\rtf1 \uc0\u233 x})", u"éx"_qs);
        row("group end stops the fallback", R"({\rtf1 {\uc3\u233 a}b})", u"éb"_qs);
        row("control word counts as fallback", R"({\rtf1 \u233\'e9 \u8212\endash x})", u"é —x"_qs);
        row("ignorable destinations",
            R"({\rtf1 {\*\generator Writer 1.0;}shown{\*\unknown secret {deep}}})", u"shown"_qs);
        row("info, stylesheet, header and footer",
            R"({\rtf1{\info{\title T}{\author A}}{\stylesheet{\s0 Normal;}})"
            R"({\header head}{\footerl foot}body})",
            u"body"_qs);
        row("unknown words vanish", R"({\rtf1 \foo \bar12 text\baz})", u"text"_qs);
        row("escaped braces", R"({\rtf1 a\{b\}c\\d})", u"a{b}c\\d"_qs);
        row("special characters",
            R"({\rtf1 \emdash\endash\lquote\rquote\ldblquote\rdblquote\bullet\~.})",
            u"—–‘’“”•\u00a0."_qs);
        row("tab, line and paragraphs", R"({\rtf1 a\tab b\line c\par d\par})",
            u"a\tb\u2028c\nd"_qs);
        row("source line breaks are not text", "{\\rtf1 one\r\ntwo\\\npar}", u"onetwo\npar"_qs);
        row("field shows its result",
            "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}}",
            u"see link"_qs);
        row("hidden text", R"({\rtf1 a{\v hidden}b})", u"ab"_qs);
        row("star after the start of a group is noise",
            R"({\rtf1 {\field{\*\fldinst HYPERLINK "x"}{\fldrslt {\ul \*\cs15 link}}} end})",
            u"link end"_qs);
        row("charset from the font's name",
            R"({\rtf1\ansi{\fonttbl{\f0 Arial Cyr;}{\f1\fcharset0 Times CE;}{\f2 Tahoma (Hebrew);})"
            R"(}\f0 \'c4\'e0 \f1 \'9a \f2 \'e0})",
            u"Да š א"_qs);
        row("shape properties never show",
            R"({\rtf1 a{\shp{\sp{\sn fFilled}{\sv 0}}{\shpinst{\sp{\sn fLine}{\sv 0}}}}b})",
            u"ab"_qs);
        row("text box after its anchoring paragraph",
            R"({\rtf1 anchor{\shp{\*\shpinst{\sp{\sn shapeType}{\sv 202}}{\shptxt \pard box)"
            R"( text\par}}{\shprslt{\*\do\dobxcolumn{\dptxbxtext box text}}}} here\par next\par})",
            u"anchor here\nbox text\nnext"_qs);
        row("a shape group's own result",
            R"({\rtf1 a{\shp{\*\shpinst{\shptxt one}}}\par{\shpgrp{\*\shpinst x}{\shprslt r}}b})",
            u"a\none\nrb"_qs);
        row("drawing object's text box",
            R"({\rtf1 one{\*\do\dobxpage\dptxbx{\dptxbxtext\pard drawn\par}}\par two})",
            u"one\ndrawn\ntwo"_qs);
        row("text box at the end", R"({\rtf1 last{\shp{\*\shpinst{\shptxt boxed}}}})",
            u"last\nboxed"_qs);
        row("footnotes and endnotes after the body",
            R"({\rtf1\aftnnrlc Body{\super\chftn}{\footnote\pard{\super\chftn} First.}, )"
            R"(end{\super\chftn}{\footnote\ftnalt\pard{\super\chftn} An endnote.}, )"
            R"(more{\super\chftn}{\footnote\pard{\super\chftn} Second.})"
            R"(, own{\super *}{\footnote\pard{\super *} Custom.}.\par})",
            u"Body1, endi, more2, own*.\n────────────\n1 First.\n2 Second.\n* Custom.\n"
            u"i An endnote."_qs);
        row("ruby of an EQ field",
            R"({\rtf1 {\field{\*\fldinst EQ \\* jc2 \\* "Font:MS Mincho" \\* hps10 )"
            R"(\\o\\ad(\\s\\up 9(\u12363?\u12435?\u12376?),\u28450?\u23383?)}{\fldrslt }} end})",
            u"漢字(かんじ) end"_qs);
        row("nested fields without stored results",
            R"({\rtf1 {\field{\*\fldinst IF {\field{\*\fldinst QUOTE "yes"}{\fldrslt yes}} = )"
            R"("yes" "shown" "not"}{\fldrslt }}! {\field{\*\fldinst QUOTE {\field{\*\fldinst )"
            R"(QUOTE "inner"}}}}})",
            u"shown! inner"_qs);
        // LibreOffice writes the numbers of a note's list before the
        // paragraph that holds the note, which a \pard leaves unnumbered; a
        // number written as text with no \pard after it stays.
        row("numbers a \\pard took back",
            R"({\rtf1{\listtext\pard\plain  1.\tab}\ls1 {\listtext\pard\plain  2.\tab}\ls1 )"
            R"(\pard\plain Body\par{\listtext 3.\tab}kept\par})",
            u"Body\n3.\tkept"_qs);
        // As LibreOffice writes a placeholder, with no result stored.
        row("button text of a macro button",
            R"({\rtf1 Name: {\field{\*\fldinst MACROBUTTON  None [Click here]}} end})",
            u"Name: [Click here] end"_qs);
        row("list numbers from the list table",
            R"({\rtf1{\*\listtable{\list\listtemplateid1{\listlevel\levelnfc3\levelstartat1)"
            R"({\leveltext\'02\'00.;}{\levelnumbers\'01;}}{\listlevel\levelnfc2\levelstartat1)"
            R"({\leveltext\'04\'00.\'01.;}{\levelnumbers\'01\'03;}}\listid7}{\list{\listlevel)"
            R"(\levelnfc23{\leveltext\'01\u-3913 ?;}{\levelnumbers;}}\listid8}})"
            R"({\*\listoverridetable{\listoverride\listid7\listoverridecount0\ls1}{\listoverride)"
            R"(\listid8\listoverridecount0\ls2}{\listoverride\listid7\listoverridecount1{\lfolevel)"
            R"(\listoverridestartat\levelstartat1}\ls3}}\pard\ls1 Heading\par\pard\ls1\ilvl1 Sub)"
            R"(\par\pard\ls1\ilvl1 Sub two\par{\listtext B.\tab}\pard\ls1 Second\par\pard\ls2 dot)"
            R"(\par\pard\ls3 again\par\pard\ls1 on\par\pard plain})",
            u"A.\tHeading\nA.i.\tSub\nA.ii.\tSub two\nB.\tSecond\n•\tdot\nA.\tagain\nB.\ton\n"
            u"plain"_qs);
        row("number formats",
            R"({\rtf1{\*\listtable{\list\listsimple{\listlevel\levelnfc1\levelstartat4{\leveltext)"
            R"(\'02\'00);}}\listid1}{\list\listsimple{\listlevel\levelnfc22\levelstartat9{\leveltext)"
            R"(\'01\'00;}}\listid2}{\list\listsimple{\listlevel\levelnfc5\levelfollow1{\leveltext)"
            R"(\'01\'00;}}\listid3}}{\*\listoverridetable{\listoverride\listid1\ls1}{\listoverride)"
            R"(\listid2\ls2}{\listoverride\listid3\ls3}}\pard\ls1 a\par\pard\ls1 b\par\pard\ls2 c)"
            R"(\par\pard\ls2 d\par\pard\ls3 e\par\pard\ls3 f\par\pard\ls3 g\par})",
            u"IV)\ta\nV)\tb\n09\tc\n10\td\n1st e\n2nd f\n3rd g"_qs);
        // Ours, and as a word processor writes it again (its list numbers as
        // text, bullets in the Symbol font's private characters).
        const auto file = [](const char* name) {
            QFile in(QFINDTESTDATA(QStringLiteral("files/") + name));
            return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
        };
        const QString parts = u"A.\tHeading\nA.i.\tSub one\nA.ii.\tSub two\nB.\tSecond\n•\tdot\n"
                              u"◦\tdot two\nA.\trestart\nNote1 here and endi.\nboxed text\nlast\n"
                              u"────────────\n1 A footnote.\ni An endnote."_qs;
        row("document parts", file("document-parts.rtf"), parts);
        row("document parts as a word processor writes them", file("document-parts-writer.rtf"),
            QString(parts).replace(QRegularExpression(QStringLiteral("^([AB]\\.)"),
                                                      QRegularExpression::MultilineOption),
                                   QStringLiteral(" \\1")));
        row("old paragraph numbers",
            R"({\rtf1\pard{\*\pn\pnlvlbody\pnucrm\pnstart1{\pntxta .}}first\par{\pntext II.\tab})"
            R"(\pard{\*\pn\pnlvlbody\pnucrm\pnstart1{\pntxta .}}second\par\pard{\*\pn\pnlvlbody)"
            R"(\pnucrm\pnstart1{\pntxta .}}third\par\pard{\*\pn\pnlvlblt{\pntxtb \'b7}}dot\par})",
            u"I.\tfirst\nII.\tsecond\nIII.\tthird\n•\tdot"_qs);
        row("column break keeps words apart", R"({\rtf1 left\column right})",
            u"left\u2028right"_qs);
        row("binary data is not rtf", R"({\rtf1 a{\pict\pngblip\bin4 {}\}}b})", u"ab"_qs);
        row("unbalanced open group", R"({\rtf1 {\b open never)", u"open never"_qs);
        row("stray closing brace ends it", R"({\rtf1 a}}}b)", u"a"_qs);
        row("truncated escape", R"({\rtf1 abc\'4)", u"abc"_qs);
        row("cut in a table row", R"({\rtf1 before\par\trowd\cellx1000\pard\intbl cell text)",
            u"before\ncell text\n"_qs);
        row("cut in a field's result",
            R"({\rtf1 see {\field{\*\fldinst HYPERLINK "x"}{\fldrslt link text)",
            u"see link text"_qs);
        row("cut in a text box", R"({\rtf1 a\par{\shp{\*\shpinst{\shptxt box)", u"a\nbox"_qs);
        row("zero bytes after the cut",
            QByteArray(R"({\rtf1 text\par more)") + QByteArray(3000, '\0'), u"text\nmore"_qs);
        row("truncated word", R"({\rtf1 abc\)", u"abc"_qs);
        row("bad hex escape adds nothing", R"({\rtf1 a\'zzb\'3?c\'{d}})", u"abcd"_qs);
        row("huge parameters",
            R"({\rtf1 \fs99999999999999 \li-99999999999 \cf99999999 \f-5 big)"
            R"(\u99999999999 ?\par {\uc99999999\u233 swallowed}ok})",
            u"big\néok"_qs);
        row("absurd nesting",
            "{\\rtf1 " + QByteArray(100000, '{') + "deep" + QByteArray(100000, '}') + "end}",
            u"end"_qs);
    }
    void text() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(RtfContentTest::text(load(rtf)), expected);
    }

    void doubleByteCodePages_data() {
        columns();
        row("shift-jis font",
            R"({\rtf1\ansi{\fonttbl{\f0\fcharset128 MS Mincho;}}\f0 \'82\'a0\'8a\'bf!})",
            u"あ漢!"_qs);
        row("gbk document", R"({\rtf1\ansi\ansicpg936 \'c4\'e3\'ba\'c3})", u"你好"_qs);
        row("koi8-r by number", R"({\rtf1\ansi\ansicpg20866 \'f0\'d2})", u"Пр"_qs);
        row("raw shift-jis trail bytes that are rtf's own",
            "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Mincho;}}\\f0 "
            "\x83\x5c\x95\x5c\x81\x7b\x81\x7d!}",
            u"ソ表＋±!"_qs);
    }
    void doubleByteCodePages() {
        // These pages come from the system's converters, not our own tables.
        if (!QStringDecoder("windows-932").isValid()) QSKIP("no ICU converters in this Qt");
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(RtfContentTest::text(load(rtf)), expected);
    }

    void tableBecomesQTextTable() {
        QTextDocument* doc = load(
            R"({\rtf1 before\par\trowd\cellx1500\cellx3000\pard\intbl A1\cell B1\cell\row)"
            R"(\trowd\cellx1500\cellx3000\pard\intbl A2\cell\b B2\b0\cell\row\pard after\par})");
        QCOMPARE(tables(doc).size(), 1);
        QTextTable* table = tables(doc).first();
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 2);
        auto cellText = [&](int r, int c) {
            QTextCursor cursor = table->cellAt(r, c).firstCursorPosition();
            cursor.setPosition(table->cellAt(r, c).lastCursorPosition().position(),
                               QTextCursor::KeepAnchor);
            return cursor.selectedText();
        };
        QCOMPARE(QStringList({cellText(0, 0), cellText(0, 1), cellText(1, 0), cellText(1, 1)}),
                 QStringList({"A1", "B1", "A2", "B2"}));
        QTextCursor bold = table->cellAt(1, 1).firstCursorPosition();
        bold.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(bold.charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(table->format().columnWidthConstraints().value(0).rawValue(), 100.0);
        QCOMPARE(doc->firstBlock().text(), "before");
        QCOMPARE(doc->lastBlock().text(), "after");
    }

    void listNumberStaysInItsCell() {
        // LibreOffice opens a number written as text with \pard, which must
        // not take the paragraph out of its table.
        QTextDocument* doc = load(
            R"({\rtf1\trowd\cellx1500\cellx3000\pard\intbl plain\cell\pard\intbl{\listtext)"
            R"(\pard\plain  1.\tab}\ls1 first\par\pard\intbl{\listtext\pard\plain  2.\tab}\ls1 )"
            R"(second\cell\row\pard after\par})");
        QCOMPARE(tables(doc).size(), 1);
        QTextTable* table = tables(doc).first();
        QCOMPARE(table->rows(), 1);
        QCOMPARE(table->columns(), 2);
        QTextCursor cell = table->cellAt(0, 1).firstCursorPosition();
        cell.setPosition(table->cellAt(0, 1).lastCursorPosition().position(),
                         QTextCursor::KeepAnchor);
        QCOMPARE(cell.selectedText(), u" 1.\tfirst\u2029 2.\tsecond"_qs);
        QCOMPARE(doc->lastBlock().text(), "after");
    }

    void bigDocumentArrivesInSteps() {
        // Its start shows at once, the rest follows from the event loop, and
        // the whole is what one reading gives: runs of empty paragraphs, a
        // long table and the notes across steps too, all there and in order.
        QByteArray rtf = "{\\rtf1\\ansi ";
        for (int i = 0; i < 700; ++i)
            rtf += "{\\b bold} " + QByteArray::number(i) +
                   " caf\\'e9{\\super\\chftn}{\\footnote "
                   "{\\super\\chftn} note " +
                   QByteArray::number(i).repeated(40) + "}\\par " +
                   QByteArray("\\par ").repeated(i % 7);
        rtf += "\\trowd\\cellx1000\\cellx2000 ";
        for (int row = 0; row < 500; ++row)
            rtf += "\\intbl a" + QByteArray::number(row) + "\\cell b\\cell\\row ";
        rtf += "\\pard after}";
        QSignalSpy finished(&pane_, &RichTextPane::loadFinished);
        pane_.setFileName(tree_.write("big.rtf", rtf));
        QVERIFY(pane_.isLoading());
        QVERIFY(finished.wait(60000));
        QTextDocument whole;
        readRtf(rtf, &whole);
        QCOMPARE(text(pane_.document()), text(&whole));
        QVERIFY(text(&whole).contains(u"bold 699 café700"_qs));
        // The notes follow the body in steps of their own.
        QVERIFY(text(&whole).endsWith(u"700 note "_qs + u"699"_qs.repeated(40)));
        QStringList cells, expected;
        for (QTextTable* table : tables(pane_.document()))
            for (int row = 0; row < table->rows(); ++row)
                cells << table->cellAt(row, 0).firstCursorPosition().block().text();
        for (int row = 0; row < 500; ++row)
            expected << QStringLiteral("a%1").arg(row);
        QCOMPARE(cells, expected);
    }

    void longAndRaggedTables() {
        // Rows come in batches; the spare ones must go, also when the table ends
        // the document, and a longer row widens the table. A long table goes on
        // in tables of a bounded size, each laid out on its own.
        QByteArray rtf = R"({\rtf1 \trowd\cellx1000\cellx2000 )";
        for (int row = 0; row < 1200; ++row)
            rtf += "\\intbl r" + QByteArray::number(row) + "\\cell x\\cell\\row ";
        rtf += R"(\intbl a\cell b\cell c\cell\row})";
        QTextDocument* doc = load(rtf);
        const QList<QTextFrame*> frames = doc->rootFrame()->childFrames();
        QVERIFY(frames.size() > 1);
        int rows = 0;
        for (QTextFrame* frame : frames) {
            auto* part = qobject_cast<QTextTable*>(frame);
            QVERIFY(part);
            QVERIFY(part->rows() * part->columns() <= 512);
            rows += part->rows();
        }
        QCOMPARE(rows, 1201);
        auto* table = qobject_cast<QTextTable*>(frames.last());
        QCOMPARE(table->columns(), 3);
        const int last = table->rows() - 1;
        QCOMPARE(table->cellAt(last - 1, 0).firstCursorPosition().block().text(), "r1199");
        QCOMPARE(table->cellAt(last, 2).firstCursorPosition().block().text(), "c");
        QCOMPARE(table->cellAt(last - 1, 2).firstCursorPosition().block().text(), "");
    }

    void pictures_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("png") << pictureRtf("PNG", "pngblip");
        QTest::newRow("jpeg") << pictureRtf("JPG", "jpegblip");
        // A shape's picture is in its properties and in its result: shown once.
        QByteArray shape = pictureRtf("PNG", "pngblip");
        const QByteArray pict = shape.mid(shape.indexOf("{\\pict"),
                                          shape.indexOf("}y}") + 1 - shape.indexOf("{\\pict"));
        shape.replace(pict, "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv " + pict + "}}}{\\shprslt " +
                                pict + "}}");
        QVERIFY(shape.count("\\pict") == 2 && shape.contains("shprslt"));
        QTest::newRow("shape") << shape;
    }
    void pictures() {
        QFETCH(QByteArray, rtf);
        QTextDocument* doc = load(rtf);
        QCOMPARE(doc->toPlainText(), u"x\ufffcy"_qs);
        QTextCursor cursor(doc);
        cursor.setPosition(2);
        const QTextImageFormat format = cursor.charFormat().toImageFormat();
        QVERIFY(format.isValid());
        QCOMPARE(format.width(), 40.0);
        QCOMPARE(format.height(), 30.0);
        const QImage image =
            doc->resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
        QCOMPARE(image.size(), QSize(4, 3));
        QVERIFY(qAbs(QColor(image.pixel(1, 1)).red() - 255) < 8);
    }

    void undecodablePictureLeavesNoTrace_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("no picture at all")
            << QByteArray(R"({\rtf1 x{\pict\pngblip 0123456789abcdef}y})");
        // Its header promises a picture, so that its frame is there until decoding fails.
        QByteArray cut = pictureRtf("PNG", "pngblip");
        cut.remove(cut.indexOf("}y}") - 40, 40);
        QTest::newRow("cut off after its header") << cut;
    }
    void undecodablePictureLeavesNoTrace() {
        QFETCH(QByteArray, rtf);
        QCOMPARE(load(rtf)->toPlainText(), "xy");
    }
};

QTEST_MAIN(RtfContentTest)
#include "tst_rtfcontent.moc"
