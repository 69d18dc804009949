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
        auto row = [](const char* name, const QByteArray& body, const char* word,
                      QTextFormat::Property property, const QVariant& expected) {
            QTest::newRow(name) << body << QString(word) << int(property) << expected;
        };
        using F = QTextFormat;
        using C = QTextCharFormat;
        row("bold", R"(a {\b strong} a)", "strong", F::FontWeight, int(QFont::Bold));
        row("bold ends with group", R"({\b a} after)", "after", F::FontWeight, int(QFont::Normal));
        row("bold0", R"(\b a\b0  weak)", "weak", F::FontWeight, int(QFont::Normal));
        row("plain resets", R"(\b\i a\plain  flat)", "flat", F::FontItalic, false);
        row("italic", R"(\i slanted\i0)", "slanted", F::FontItalic, true);
        row("underline", R"(\ul under\ulnone  x)", "under", F::TextUnderlineStyle,
            int(C::SingleUnderline));
        row("underline off", R"(\ul a\ulnone  over)", "over", F::TextUnderlineStyle, QVariant());
        row("dotted underline", R"(\uld dots)", "dots", F::TextUnderlineStyle, int(C::DotLine));
        row("wave underline", R"(\ulwave waves)", "waves", F::TextUnderlineStyle,
            int(C::WaveUnderline));
        row("strike", R"(\strike gone)", "gone", F::FontStrikeOut, true);
        row("size", R"(\fs36 big)", "big", F::FontPointSize, 18.0);
        row("size defaults to 12pt", "normal", "normal", F::FontPointSize, 12.0);
        row("font", fonts + R"(\f1 sans)", "sans", F::FontFamilies, QStringList{"Arial"});
        row("default font", "\\deff1" + fonts + "dflt", "dflt", F::FontFamilies,
            QStringList{"Arial"});
        row("panose skipped in font name", fonts + R"(\f2 mono)", "mono", F::FontFamilies,
            QStringList{"Courier New"});
        row("modern family is fixed pitch", fonts + R"(\f2 mono)", "mono", F::FontFixedPitch, true);
        row("flat font table", R"({\fonttbl\f0\fswiss Helvetica;\f1\fnil Comic;}\f1 fun)", "fun",
            F::FontFamilies, QStringList{"Comic"});
        row("colour", colors + R"(\cf2 blue)", "blue", F::ForegroundBrush,
            QBrush(QColor(0, 0, 255)));
        row("automatic colour", colors + R"(\cf0 auto)", "auto", F::ForegroundBrush, QVariant());
        row("colour out of range", colors + R"(\cf9 none)", "none", F::ForegroundBrush, QVariant());
        row("highlight", colors + R"(\highlight1 marked)", "marked", F::BackgroundBrush,
            QBrush(QColor(255, 0, 0)));
        row("superscript", R"(x{\super 2})", "2", F::TextVerticalAlignment,
            int(C::AlignSuperScript));
        row("subscript", R"(H{\sub 2}O)", "2", F::TextVerticalAlignment, int(C::AlignSubScript));
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
        auto row = [](const char* name, const char* body, QTextFormat::Property property,
                      const QVariant& expected) {
            QTest::newRow(name) << QByteArray(body) << int(property) << expected;
        };
        using F = QTextFormat;
        row("centred", R"(\qc target)", F::BlockAlignment, int(Qt::AlignHCenter));
        row("right", R"(\qr target)", F::BlockAlignment, int(Qt::AlignRight));
        row("justified", R"(\qj target)", F::BlockAlignment, int(Qt::AlignJustify));
        row("pard resets", R"(\qc first\par\pard target)", F::BlockAlignment, int(Qt::AlignLeft));
        row("left indent", R"(\li720 target)", F::BlockLeftMargin, 48.0);
        row("right indent", R"(\ri1440 target)", F::BlockRightMargin, 96.0);
        row("hanging indent", R"(\li720\fi-360 target)", F::TextIndent, -24.0);
        row("space before", R"(\sb240 target)", F::BlockTopMargin, 16.0);
        row("space after", R"(\sa120 target\par)", F::BlockBottomMargin, 8.0);
        row("line spacing multiple", R"(\sl360\slmult1 target)", F::LineHeight, 150.0);
        row("exact line spacing", R"(\sl-300\slmult0 target)", F::LineHeightType,
            int(QTextBlockFormat::FixedHeight));
        row("group keeps paragraph", R"(\qc{\ql x} target)", F::BlockAlignment,
            int(Qt::AlignHCenter));
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
        // Stops count from the margin in RTF and from the line start in Qt; a
        // hanging indent is a stop of its own.
        doc = load(R"({\rtf1 \deftab360\li720\fi-360\tx2160 \bullet\tab item\tab x})");
        const QList<QTextOption::Tab> indented = doc->firstBlock().blockFormat().tabPositions();
        QCOMPARE(indented.size(), 2);
        QCOMPARE(indented[0].position, 24.0);
        QCOMPARE(indented[1].position, 120.0);
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
        QCOMPARE(pane_.textInteractionFlags() &
                     (Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::TextEditable),
                 Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
};

QTEST_MAIN(RtfFormatTest)
#include "tst_rtfformat.moc"
