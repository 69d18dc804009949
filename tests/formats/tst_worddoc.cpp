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
        QTest::newRow("line break, tab and cells")
            << wordDocument({ansi("one\x0Btwo\tthree\r"), ansi("c1\x07"
                                                               "c2\x07\x07")})
                   .bytes
            << u"one\u2028two\tthree\nc1\nc2\n"_qs;
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

    void unreadable_data() {
        QTest::addColumn<QByteArray>("file");
        const Compound good = wordDocument({ansi("Hello\r")});
        const quint32 wordStart = good.firstSector.value("WordDocument");
        QTest::newRow("encrypted") << wordDocument({ansi("secret\r")}, {.encrypted = true}).bytes;
        QTest::newRow("Word 95 format") << wordDocument({ansi("old\r")}, {.nFib = 0x68}).bytes;
        QTest::newRow("no WordDocument stream")
            << compoundFile({{"Workbook", QByteArray(5000, 'x')}}).bytes;
        QTest::newRow("truncated file") << good.bytes.left(good.bytes.size() - 1500);
        QTest::newRow("header only") << good.bytes.left(512);
        QTest::newRow("signature only") << good.bytes.left(8);
        QByteArray cyclic = good.bytes;
        put32(cyclic, good.fatOffset + 4 * (wordStart + 1), wordStart);
        QTest::newRow("cyclic sector chain") << cyclic;
        QByteArray selfLoop = good.bytes;
        put32(selfLoop, good.fatOffset + 4 * wordStart, wordStart);
        QTest::newRow("sector chained to itself") << selfLoop;
        QByteArray farStart = good.bytes;
        put32(farStart, good.directoryOffset + 128 + 0x74, 0x7FFFFFF0);
        QTest::newRow("stream starts beyond the file") << farStart;
        QByteArray hugeSize = good.bytes;
        put32(hugeSize, good.directoryOffset + 128 + 0x78, 0xFFFFFF00);
        QTest::newRow("stream longer than the file") << hugeSize;
        QByteArray dirLoop = good.bytes;
        put16(dirLoop, good.directoryOffset + 128 + 2 * 11, 'x'); // no WordDocument any more
        put32(dirLoop, good.directoryOffset + 256 + 0x48, 1);     // 1 -> 2 -> 1 ...
        QTest::newRow("directory links in a circle") << dirLoop;
        QByteArray badSector = good.bytes;
        put16(badSector, 0x1E, 30);
        QTest::newRow("absurd sector size") << badSector;
        // The table stream is in the mini stream; its piece descriptor there
        // points past the end of the WordDocument stream.
        QByteArray pastEnd = good.bytes;
        const qsizetype pcd = pastEnd.indexOf(QByteArray::fromHex("0000000006000000"));
        QVERIFY(pcd > 0);
        put32(pastEnd, pcd + 8 + 2, 0x40000000 | 0x3FFFFF00);
        QTest::newRow("piece beyond the WordDocument stream") << pastEnd;
    }
    void unreadable() {
        QFETCH(QByteArray, file);
        QVERIFY(!wordDocumentText(file).has_value());
        QCOMPARE(shown(file), RichTextPane::unreadableText());
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
