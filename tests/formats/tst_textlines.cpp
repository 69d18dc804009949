#include "formats/TextLines.h"

#include <QtTest>

namespace {
using Starts = std::vector<qint64>;

QByteArray utf16(const QByteArray& latin1, bool bigEndian) {
    QByteArray out;
    for (const char c : latin1)
        out.append(bigEndian ? '\0' : c).append(bigEndian ? c : '\0');
    return out;
}

// Every line start after first, the scanner fed chunk bytes at a time.
Starts scanned(const QByteArray& text, const LineBreaks& b, qint64 first, qint64 chunk) {
    LineStartScanner scanner(b, first);
    Starts starts;
    for (qint64 at = first; at < text.size(); at += chunk)
        scanner.feed(QByteArrayView(text).sliced(at, qMin(chunk, text.size() - at)), at, starts);
    scanner.finish(text.size(), starts);
    return starts;
}

Starts walkedForward(const QByteArray& text, const LineBreaks& b, qint64 first) {
    Starts starts;
    const TextWindow whole{text, 0, first, text.size()};
    for (qint64 at = nextLineStart(whole, b, first); at < text.size();
         at = nextLineStart(whole, b, at))
        starts.push_back(at);
    return starts;
}

// From the end back, each step seeing only the bytes it may need.
Starts walkedBack(const QByteArray& text, const LineBreaks& b, qint64 first) {
    Starts starts;
    for (qint64 at = text.size(); at > first;) {
        const qint64 base = qMax<qint64>(0, at - PreviousReach);
        const QByteArray window = text.mid(base, at + 2 * b.unit - base);
        at = previousLineStart({window, base, first, text.size()}, b, at);
        if (at > first) starts.insert(starts.begin(), at);
    }
    return starts;
}
} // namespace

// Where lines start, found alike by the worker's scan in chunks of any size
// and by the view's walks forwards and backwards.
class TextLinesTest : public QObject {
    Q_OBJECT

  private slots:
    void startsAgree_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("unit");
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<int>("first");
        QTest::addColumn<QList<qint64>>("starts");
        const auto row = [](const char* name, const QByteArray& text, QList<qint64> starts,
                            int unit = 1, bool bigEndian = false, int first = 0) {
            QTest::newRow(name) << text << unit << bigEndian << first << starts;
        };
        row("LF, CR LF, CR", "a\nbc\r\nd\re", {2, 6, 8});
        row("blank lines", "\n\r\n\r\r\nx", {1, 3, 4, 6});
        row("line end at the end", "a\r\nb\r\n", {3});
        row("a lone CR at the end", "a\rb\r", {2});
        row("empty", "", {});
        row("mark, then lines", "\xEF\xBB\xBFone\ntwo", {7}, 1, false, 3);
        const QByteArray piece(PieceBytes, 'p');
        row("a line of exactly one piece", piece + "\n" + piece, {PieceBytes + 1});
        row("one byte more: two pieces", piece + "q\nz", {PieceBytes, PieceBytes + 2});
        // Pieces split at multiples of PieceBytes inside the line only.
        row("long line after a short one", "ab\n" + piece.repeated(2) + "\r\nz",
            {3, PieceBytes, 2 * PieceBytes, 2 * PieceBytes + 5});
        row("long last line without end", "x\n" + piece.repeated(3),
            {2, PieceBytes, 2 * PieceBytes, 3 * PieceBytes});
        row("UTF-16 LE", "\xFF\xFE" + utf16("a\r\nb\rc\n\nd", false), {8, 12, 16, 18}, 2, false, 2);
        row("UTF-16 BE", "\xFE\xFF" + utf16("a\r\nb\rc\n\nd", true), {8, 12, 16, 18}, 2, true, 2);
        // LF in the high byte of a UTF-16 character is no line end.
        row("UTF-16 LE, 0x0A as a high byte", "\xFF\xFE" + QByteArray("\x41\x0A\x0A\x00z\x00", 6),
            {6}, 2, false, 2);
    }
    void startsAgree() {
        QFETCH(QByteArray, text);
        QFETCH(int, unit);
        QFETCH(bool, bigEndian);
        QFETCH(int, first);
        QFETCH(QList<qint64>, starts);
        const LineBreaks b{unit, bigEndian};
        const Starts expected(starts.begin(), starts.end());
        // Chunks of one unit split every CR LF; the others fall anywhere.
        for (const qint64 chunk : {qint64(unit), qint64(2 * unit), qint64(6), qint64(4096)})
            QCOMPARE(scanned(text, b, first, chunk), expected);
        QCOMPARE(walkedForward(text, b, first), expected);
        QCOMPARE(walkedBack(text, b, first), expected);
    }

    // A large text of every kind of line: the three agree everywhere.
    void mixedText() {
        QByteArray text;
        for (int i = 0; text.size() < 300 * 1024; ++i) {
            text += QByteArray(i * 131 % (3 * PieceBytes), char('a' + i % 26));
            text += i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r";
        }
        const LineBreaks b;
        const Starts whole = scanned(text, b, 0, text.size());
        QCOMPARE(scanned(text, b, 0, 65536 + 1), whole);
        QCOMPARE(walkedForward(text, b, 0), whole);
        QCOMPARE(walkedBack(text, b, 0), whole);
    }
};

QTEST_MAIN(TextLinesTest)
#include "tst_textlines.moc"
