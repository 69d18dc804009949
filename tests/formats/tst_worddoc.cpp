#include "controls/RichTextPane.h"
#include "formats/worddoc/CompoundFile.h"
#include "formats/worddoc/WordText.h"
#include "support/TempTree.h"
#include "tst_worddoc_builder.h"

#include <QTextBlock>
#include <QtTest>

using namespace wordtest;

namespace {
// What the text pane shows of file.
QString shown(const QByteArray& file) {
    TempTree tree;
    RichTextPane pane;
    pane.setFileName(tree.write("letter.doc", file));
    pane.finishLoading();
    return pane.document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
}
} // namespace

class WordDocTest : public QObject {
    Q_OBJECT
  private slots:
    void text_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("compressed and unicode pieces")
            << wordDocument({ansi("Hello W\xF6rld \x80 5\r"), unicode(u"Привет, мир\r"_qs)}).bytes
            << u"Hello Wörld € 5\nПривет, мир"_qs;
        QTest::newRow("table stream 0Table")
            << wordDocument({ansi("zero table\r")}, {.table1 = false}).bytes << u"zero table"_qs;
        QTest::newRow("no property modifier")
            << wordDocument({ansi("plain\r")}, {.propertyModifier = false}).bytes << u"plain"_qs;
        QTest::newRow("only the main text")
            << wordDocument({ansi("main\r"), ansi("footnote\r")}, {.textLength = 5}).bytes
            << u"main"_qs;
        QTest::newRow("field shows its result")
            << wordDocument({ansi("see \x13 HYPERLINK \"http://x\" \x14the link\x15 here\r")}).bytes
            << u"see the link here"_qs;
        QTest::newRow("nested field code dropped")
            << wordDocument({ansi("a \x13 IF \x13 PAGE \x14"
                                  "1\x15 \x14result\x15 b\r")})
                   .bytes
            << u"a result b"_qs;
        QTest::newRow("nested field results worked out")
            << wordDocument(
                   {unicode(u"\x13 IF \x13 QUOTE \"yes\" \x15 = \"yes\" \"shown\" \"not\" "
                            u"\x14\x15! \x13 EQ \\* jc2 \\o\\ad(\\s\\up 9(かんじ),漢字)\x15\r"_qs)})
                   .bytes
            << u"shown! 漢字(かんじ)"_qs;
        QTest::newRow("macro button shows its text")
            << wordDocument({ansi("To: \x13 MACROBUTTON NoMacro [Type the name]\x15!\r")}).bytes
            << u"To: [Type the name]!"_qs;
        QTest::newRow("Word 97's own template number")
            << wordDocument({ansi("blank template\r")}, {.nFib = 0xC0}).bytes
            << u"blank template"_qs;
        QTest::newRow("main text ends inside the first of two pieces")
            << wordDocument({ansi("main\rheader\r"), ansi("more header\r")},
                            {.textLength = 5, .stories = {0, 19}})
                   .bytes
            << u"main"_qs;
        QTest::newRow("a damaged piece costs that piece")
            << wordDocument({ansi("first\r"), ansi("second\r"), ansi("third\r")},
                            {.brokenPiece = 1})
                   .bytes
            << u"first\nthird"_qs;
        QTest::newRow("no piece table: the text where the FIB says")
            << wordDocument({unicode(u"Привет\rmir\r"_qs)}, {.brokenClx = true}).bytes
            << u"Привет\nmir"_qs;
        // The table stream is in the mini stream; its only piece descriptor
        // there points past the end of the WordDocument stream.
        QByteArray pastEnd = wordDocument({ansi("Hello\r")}).bytes;
        const qsizetype pcd = pastEnd.indexOf(QByteArray::fromHex("0000000006000000"));
        put32(pastEnd, pcd + 8 + 2, 0x40000000 | 0x3FFFFF00);
        QTest::newRow("only piece beyond the stream: the text where the FIB says")
            << pastEnd << u"Hello"_qs;
        // Damage after the text costs what lies there, as a word processor
        // recovers such files.
        const Compound hello = wordDocument({ansi("Hello\r")});
        QTest::newRow("file cut after the text")
            << hello.bytes.left(hello.bytes.size() - 1500) << u"Hello"_qs;
        // A file cut inside its text shows the text before the cut; with the
        // directory lost, the text's sectors are read in order but for the
        // sectors the header names as the FAT's (writers put them among them).
        const QByteArray words = (QByteArray("word ").repeated(99) + "word\r").repeated(6);
        const auto shownAs = [](QByteArray text) {
            return QString::fromLatin1(text.replace('\r', '\n'));
        };
        const Compound long_ = wordDocument({ansi(words)});
        const qsizetype textAt = 512 + 512 * long_.firstSector.value(u"WordDocument"_qs) + 1024;
        QTest::newRow("file cut inside the text")
            << long_.bytes.left(textAt + 1536) << shownAs(words.left(1536));
        QByteArray brokenChain = long_.bytes;
        put32(brokenChain, long_.fatOffset + 4 * ((textAt + 512) / 512 - 1), 0xFFFFFFFE);
        QTest::newRow("chain broken inside the text, its sectors in order")
            << brokenChain << shownAs(words.chopped(1));
        QByteArray fatAmong = long_.bytes;
        fatAmong.insert(textAt + 1024, QByteArray(512, 'Z'));
        put32(fatAmong, 0x4C + 4, quint32((textAt + 1024) / 512 - 1));
        fatAmong.replace(long_.directoryOffset, 512, QByteArray(512, '\xFF'));
        QTest::newRow("directory lost, a FAT sector among the text's")
            << fatAmong << shownAs(words.chopped(1));
        QByteArray hugeSize = hello.bytes;
        put32(hugeSize, hello.directoryOffset + 128 + 0x78, 0xFFFFFF00);
        QTest::newRow("stream longer than the file") << hugeSize << u"Hello"_qs;
        QTest::newRow("line break, tab and cells")
            << wordDocument({ansi("one\x0Btwo\tthree\r"), ansi("c1\x07"
                                                               "c2\x07\x07")})
                   .bytes
            << u"one\u2028two\tthree\nc1\nc2\n"_qs;
        QTest::newRow("column break keeps words apart")
            << wordDocument({ansi("left\x0Eright\r")}).bytes << u"left\u2028right"_qs;
        QTest::newRow("picture anchors vanish")
            << wordDocument({ansi("x\x01y\x08z\r")}).bytes << u"xyz"_qs;
        QTest::newRow("large word stream across sectors")
            << wordDocument({ansi((QByteArray(1999, 'a') + "\r").repeated(3)), unicode(u"end"_qs)})
                   .bytes
            << (QString(1999, u'a') + u'\n').repeated(3) + u"end"_qs;
    }
    void text() {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QCOMPARE(wordDocumentText(file), std::optional<QString>(expected));
        QCOMPARE(shown(file), expected);
    }

    void wholeDocument() {
        // Lists with two levels and a restart, a bullet list, a list through
        // a style, a footnote, an endnote and a text box.
        const QByteArray main = "Heading\rSub one\rSub two\rSecond\rdot\rdot two\rrestart\r"
                                "styled\rNote\x02 here\x08 and end\x02.\rlast\r";
        const QByteArray footnote = "\x02 A footnote.\r", endnote = "\x02 An endnote.\r",
                         box = "boxed text\r\r";
        const quint32 note = quint32(main.indexOf('\x02')), anchor = quint32(main.indexOf('\x08')),
                      end = quint32(main.lastIndexOf('\x02'));
        WordOptions options{.textLength = main.size()};
        options.stories = {quint32(footnote.size()), 0, 0, 0, quint32(endnote.size()),
                           quint32(box.size())};
        const QString bullets[] = {QString(QChar(0xF0B7)), u"o"_qs};
        options.tables[73] = listDefinitions(
            {{10, {listLevel(1, 3, u"\x00."_qs), listLevel(1, 2, u"\x00.\x01."_qs)}},
             {20, {listLevel(1, 23, bullets[0]), listLevel(1, 23, bullets[1])}}});
        options.tables[74] = listOverrides({{10, -1}, {20, -1}, {10, 1}});
        options.tables[1] = stylesheet({{}, listSprms(1, 0)});
        options.tables[2] = plc({note, quint32(main.size())}, {u16s({1})});
        options.tables[3] = plc({0, quint32(footnote.size()), quint32(footnote.size()) + 1});
        options.tables[46] = plc({end, quint32(main.size())}, {u16s({1})});
        options.tables[47] = plc({0, quint32(endnote.size()), quint32(endnote.size()) + 1});
        QByteArray boxData(22, '\0');
        put32(boxData, 14, 1025); // the shape's id
        options.tables[56] = plc({0, 11, 12}, {boxData, QByteArray(22, '\0')});
        QByteArray shape(26, '\0');
        put32(shape, 0, 1025);
        options.tables[40] = plc({anchor, anchor + 1}, {shape});
        options.paragraphs = {
            {0, listSprms(1, 0)}, {0, listSprms(1, 1)}, {0, listSprms(1, 1)}, {0, listSprms(1, 0)},
            {0, listSprms(2, 0)}, {0, listSprms(2, 1)}, {0, listSprms(3, 0)}, {1, {}}};
        const QByteArray file =
            wordDocument({ansi(main), ansi(footnote), ansi(endnote), ansi(box)}, options).bytes;
        const QString expected = u"A.\tHeading\nA.i.\tSub one\nA.ii.\tSub two\nB.\tSecond\n"
                                 u"•\tdot\n◦\tdot two\nA.\trestart\nB.\tstyled\n"
                                 u"Note¹ here and endi.\nboxed text\nlast\n────────────\n"
                                 u"¹ A footnote.\ni An endnote."_qs;
        QCOMPARE(wordDocumentText(file), std::optional<QString>(expected));
        QCOMPARE(shown(file), expected);
    }

    void wordProcessorFile() {
        // The parts above as LibreOffice writes them (files/README.md).
        QFile in(QFINDTESTDATA("files/document-parts.doc"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(shown(in.readAll()),
                 u"A.\tHeading\nA.i.\tSub one\nA.ii.\tSub two\nB.\tSecond\n•\tdot\n◦\tdot two\n"
                 u"A.\trestart\nNote¹ here and endi.\nboxed text\nlast\n────────────\n"
                 u"¹ A footnote.\ni An endnote."_qs);
    }

    void unreadable_data() {
        QTest::addColumn<QByteArray>("file");
        const Compound good = wordDocument({ansi("Hello\r")});
        QTest::newRow("encrypted") << wordDocument({ansi("secret\r")}, {.encrypted = true}).bytes;
        QTest::newRow("Word 95 format") << wordDocument({ansi("old\r")}, {.nFib = 0x68}).bytes;
        QTest::newRow("no WordDocument stream")
            << compoundFile({{"Workbook", QByteArray(5000, 'x')}}).bytes;
        QTest::newRow("header only") << good.bytes.left(512);
        QTest::newRow("signature only") << good.bytes.left(8);
    }
    void unreadable() {
        QFETCH(QByteArray, file);
        QVERIFY(!wordDocumentText(file).has_value());
        QCOMPARE(shown(file), RichTextPane::unreadableText());
    }

    void damagedContainer_data() {
        QTest::addColumn<QByteArray>("file");
        const Compound good = wordDocument({ansi("Hello\r")});
        const quint32 wordStart = good.firstSector.value("WordDocument");
        QByteArray cyclic = good.bytes;
        put32(cyclic, good.fatOffset + 4 * (wordStart + 1), wordStart);
        QTest::newRow("cyclic sector chain") << cyclic;
        QByteArray selfLoop = good.bytes;
        put32(selfLoop, good.fatOffset + 4 * wordStart, wordStart);
        QTest::newRow("sector chained to itself") << selfLoop;
        QByteArray farStart = good.bytes;
        put32(farStart, good.directoryOffset + 128 + 0x74, 0x7FFFFFF0);
        QTest::newRow("stream starts beyond the file") << farStart;
        QByteArray dirLoop = good.bytes;
        put16(dirLoop, good.directoryOffset + 128 + 2 * 11, 'x'); // no WordDocument any more
        put32(dirLoop, good.directoryOffset + 256 + 0x48, 1);     // 1 -> 2 -> 1 ...
        QTest::newRow("directory links in a circle") << dirLoop;
        QByteArray badSector = good.bytes;
        put16(badSector, 0x1E, 30);
        QTest::newRow("absurd sector size") << badSector;
    }
    void damagedContainer() {
        // The container's chains and directory are refused as they are; the
        // text is still found by its FIB, where the sectors lie in order.
        QFETCH(QByteArray, file);
        const auto strict = CompoundFile::open(file);
        QVERIFY(!strict || !strict->stream("WordDocument").has_value());
        QCOMPARE(wordDocumentText(file), std::optional<QString>(u"Hello"_qs));
        QCOMPARE(shown(file), u"Hello"_qs);
    }

    void embeddedDocumentIsNotTheDocument() {
        // Only the root storage's own WordDocument counts.
        const Compound doc = compoundFile({{"ObjectPool", QByteArray(100, 'x')}});
        QVERIFY(isCompoundFile(doc.bytes));
        QVERIFY(CompoundFile::open(doc.bytes).has_value());
        QVERIFY(!CompoundFile::open(doc.bytes)->stream("WordDocument").has_value());
    }
};

QTEST_MAIN(WordDocTest)
#include "tst_worddoc.moc"
