#include "controls/RichTextPane.h"
#include "support/TempTree.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

// Formatting read from RTF written here, checked in the pane's document.
class RtfFormatTest : public QObject {
    Q_OBJECT

    TempTree tree_;
    RichTextPane pane_;

    QTextDocument* load(const QByteArray& rtf, const QString& name = "doc.rtf") {
        pane_.setFileName(tree_.write(name, rtf));
        pane_.finishLoading();
        return pane_.document();
    }
    // The format of the found word's characters, after checking they share one.
    static QTextCharFormat formatOf(QTextDocument* doc, const QString& word) {
        const QTextCursor found = doc->find(word, 0, QTextDocument::FindCaseSensitively);
        if (found.isNull()) return {};
        QTextCursor first(doc), last(doc);
        first.setPosition(found.selectionStart() + 1);
        last.setPosition(found.selectionEnd());
        return first.charFormat() == last.charFormat() ? first.charFormat() : QTextCharFormat();
    }

  private slots:
    void charFormat_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("property");
        QTest::addColumn<QVariant>("expected");
        const QByteArray fonts =
            R"({\fonttbl{\f0\froman Times New Roman;}{\f1\fswiss\fcharset0 Arial;})"
            R"({\f2\fmodern{\*\panose 0}Courier New;}})";
        const QByteArray colors = R"({\colortbl;\red255\green0\blue0;\red0\green0\blue255;})";
        const auto weight = QTextFormat::FontWeight;
        QTest::newRow("bold") << QByteArray(R"(a {\b strong} a)") << "strong" << int(weight)
                              << QVariant(int(QFont::Bold));
        QTest::newRow("bold ends with group") << QByteArray(R"({\b a} after)") << "after"
                                              << int(weight) << QVariant(int(QFont::Normal));
        QTest::newRow("bold0") << QByteArray(R"(\b a\b0  weak)") << "weak" << int(weight)
                               << QVariant(int(QFont::Normal));
        QTest::newRow("plain resets") << QByteArray(R"(\b\i a\plain  flat)") << "flat"
                                      << int(QTextFormat::FontItalic) << QVariant(false);
        QTest::newRow("italic") << QByteArray(R"(\i slanted\i0)") << "slanted"
                                << int(QTextFormat::FontItalic) << QVariant(true);
        QTest::newRow("underline") << QByteArray(R"(\ul under\ulnone  x)") << "under"
                                   << int(QTextFormat::TextUnderlineStyle)
                                   << QVariant(int(QTextCharFormat::SingleUnderline));
        QTest::newRow("underline off") << QByteArray(R"(\ul a\ulnone  over)") << "over"
                                       << int(QTextFormat::TextUnderlineStyle) << QVariant();
        QTest::newRow("dotted underline")
            << QByteArray(R"(\uld dots)") << "dots" << int(QTextFormat::TextUnderlineStyle)
            << QVariant(int(QTextCharFormat::DotLine));
        QTest::newRow("wave underline")
            << QByteArray(R"(\ulwave waves)") << "waves" << int(QTextFormat::TextUnderlineStyle)
            << QVariant(int(QTextCharFormat::WaveUnderline));
        QTest::newRow("strike") << QByteArray(R"(\strike gone)") << "gone"
                                << int(QTextFormat::FontStrikeOut) << QVariant(true);
        QTest::newRow("size") << QByteArray(R"(\fs36 big)") << "big"
                              << int(QTextFormat::FontPointSize) << QVariant(18.0);
        QTest::newRow("size defaults to 12pt") << QByteArray("normal") << "normal"
                                               << int(QTextFormat::FontPointSize) << QVariant(12.0);
        QTest::newRow("font") << fonts + R"(\f1 sans)"
                              << "sans" << int(QTextFormat::FontFamilies)
                              << QVariant(QStringList{"Arial"});
        QTest::newRow("default font")
            << "\\deff1" + fonts + "dflt"
            << "dflt" << int(QTextFormat::FontFamilies) << QVariant(QStringList{"Arial"});
        QTest::newRow("panose skipped in font name")
            << fonts + R"(\f2 mono)"
            << "mono" << int(QTextFormat::FontFamilies) << QVariant(QStringList{"Courier New"});
        QTest::newRow("modern family is fixed pitch")
            << fonts + R"(\f2 mono)"
            << "mono" << int(QTextFormat::FontFixedPitch) << QVariant(true);
        QTest::newRow("flat font table")
            << QByteArray(R"({\fonttbl\f0\fswiss Helvetica;\f1\fnil Comic;}\f1 fun)") << "fun"
            << int(QTextFormat::FontFamilies) << QVariant(QStringList{"Comic"});
        QTest::newRow("colour") << colors + R"(\cf2 blue)"
                                << "blue" << int(QTextFormat::ForegroundBrush)
                                << QVariant(QBrush(QColor(0, 0, 255)));
        QTest::newRow("automatic colour")
            << colors + R"(\cf0 auto)"
            << "auto" << int(QTextFormat::ForegroundBrush) << QVariant();
        QTest::newRow("colour out of range")
            << colors + R"(\cf9 none)"
            << "none" << int(QTextFormat::ForegroundBrush) << QVariant();
        QTest::newRow("highlight")
            << colors + R"(\highlight1 marked)"
            << "marked" << int(QTextFormat::BackgroundBrush) << QVariant(QBrush(QColor(255, 0, 0)));
        QTest::newRow("superscript")
            << QByteArray(R"(x{\super 2})") << "2" << int(QTextFormat::TextVerticalAlignment)
            << QVariant(int(QTextCharFormat::AlignSuperScript));
        QTest::newRow("subscript")
            << QByteArray(R"(H{\sub 2}O)") << "2" << int(QTextFormat::TextVerticalAlignment)
            << QVariant(int(QTextCharFormat::AlignSubScript));
    }
    void charFormat() {
        QFETCH(QByteArray, body);
        QFETCH(QString, word);
        QFETCH(int, property);
        QFETCH(QVariant, expected);
        QTextDocument* doc = load("{\\rtf1\\ansi " + body + "}");
        QVERIFY2(!doc->find(word).isNull(), qPrintable(doc->toPlainText()));
        QCOMPARE(formatOf(doc, word).property(property), expected);
    }

    void blockFormat_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("property");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("centred") << QByteArray(R"(\qc target)") << int(QTextFormat::BlockAlignment)
                                 << QVariant(int(Qt::AlignHCenter));
        QTest::newRow("right") << QByteArray(R"(\qr target)") << int(QTextFormat::BlockAlignment)
                               << QVariant(int(Qt::AlignRight));
        QTest::newRow("justified")
            << QByteArray(R"(\qj target)") << int(QTextFormat::BlockAlignment)
            << QVariant(int(Qt::AlignJustify));
        QTest::newRow("pard resets")
            << QByteArray(R"(\qc first\par\pard target)") << int(QTextFormat::BlockAlignment)
            << QVariant(int(Qt::AlignLeft));
        QTest::newRow("left indent") << QByteArray(R"(\li720 target)")
                                     << int(QTextFormat::BlockLeftMargin) << QVariant(48.0);
        QTest::newRow("right indent") << QByteArray(R"(\ri1440 target)")
                                      << int(QTextFormat::BlockRightMargin) << QVariant(96.0);
        QTest::newRow("hanging indent") << QByteArray(R"(\li720\fi-360 target)")
                                        << int(QTextFormat::TextIndent) << QVariant(-24.0);
        QTest::newRow("space before")
            << QByteArray(R"(\sb240 target)") << int(QTextFormat::BlockTopMargin) << QVariant(16.0);
        QTest::newRow("space after") << QByteArray(R"(\sa120 target\par)")
                                     << int(QTextFormat::BlockBottomMargin) << QVariant(8.0);
        QTest::newRow("line spacing multiple") << QByteArray(R"(\sl360\slmult1 target)")
                                               << int(QTextFormat::LineHeight) << QVariant(150.0);
        QTest::newRow("exact line spacing")
            << QByteArray(R"(\sl-300\slmult0 target)") << int(QTextFormat::LineHeightType)
            << QVariant(int(QTextBlockFormat::FixedHeight));
        QTest::newRow("group keeps paragraph")
            << QByteArray(R"(\qc{\ql x} target)") << int(QTextFormat::BlockAlignment)
            << QVariant(int(Qt::AlignHCenter));
    }
    void blockFormat() {
        QFETCH(QByteArray, body);
        QFETCH(int, property);
        QFETCH(QVariant, expected);
        QTextDocument* doc = load("{\\rtf1\\ansi " + body + "}");
        const QTextCursor found = doc->find("target");
        QVERIFY(!found.isNull());
        QCOMPARE(found.block().blockFormat().property(property), expected);
    }

    void tabStops() {
        QTextDocument* doc = load(R"({\rtf1 \tx720\tqr\tx2880 a\tab b\tab c})");
        const QList<QTextOption::Tab> tabs = doc->firstBlock().blockFormat().tabPositions();
        QCOMPARE(tabs.size(), 2);
        QCOMPARE(tabs[0].position, 48.0);
        QCOMPARE(tabs[0].type, QTextOption::LeftTab);
        QCOMPARE(tabs[1].position, 192.0);
        QCOMPARE(tabs[1].type, QTextOption::RightTab);
        QCOMPARE(doc->firstBlock().text(), "a\tb\tc");
    }

    void tabStopsFollowIndents() {
        // Stops count from the margin in RTF and from the line start in Qt; a
        // hanging indent is a stop of its own.
        QTextDocument* doc =
            load(R"({\rtf1 \deftab360\li720\fi-360\tx2160 \bullet\tab item\tab x})");
        const QList<QTextOption::Tab> tabs = doc->firstBlock().blockFormat().tabPositions();
        QCOMPARE(tabs.size(), 2);
        QCOMPARE(tabs[0].position, 24.0);
        QCOMPARE(tabs[1].position, 120.0);
        QCOMPARE(doc->defaultTextOption().tabStopDistance(), 24.0);
        QCOMPARE(load(R"({\rtf1 x})")->defaultTextOption().tabStopDistance(), 48.0);
    }

    void rtfNamedDocRendersAsRtf() {
        QTextDocument* doc = load(R"({\rtf1\ansi {\b bold} text\par})", "letter.DOC");
        QCOMPARE(doc->toPlainText(), "bold text");
        QCOMPARE(formatOf(doc, "bold").fontWeight(), int(QFont::Bold));
    }

    void paneStaysReadOnlyAndSelectable() {
        load(R"({\rtf1 x})");
        QVERIFY(pane_.isReadOnly());
        QVERIFY(pane_.textInteractionFlags() & Qt::TextSelectableByMouse);
        QVERIFY(pane_.textInteractionFlags() & Qt::TextSelectableByKeyboard);
        QVERIFY(!(pane_.textInteractionFlags() & Qt::TextEditable));
    }
};

QTEST_MAIN(RtfFormatTest)
#include "tst_rtfformat.moc"
