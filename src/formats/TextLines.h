#pragma once

#include <QByteArrayView>

#include <vector>

// Where the lines of a plain text start, as byte offsets: after LF, CR LF or a
// lone CR, in code units of one byte or two (UTF-16 LE or BE). A line longer
// than PieceBytes is shown in pieces: it is split at each multiple of
// PieceBytes inside it, so that finding the line around any offset reads a
// bounded stretch of the text, and no piece is slow to lay out.
constexpr qint64 PieceBytes = 2048;

struct LineBreaks {
    int unit = 1;
    bool bigEndian = false;

    char16_t unitAt(QByteArrayView bytes, qsizetype i) const;
    // The length of the line end starting at i, 0 when none; a CR at the
    // end of bytes counts as a lone CR.
    int endAt(QByteArrayView bytes, qsizetype i) const;
    // The length of the line end just before i, 0 when i is no line start.
    int endBefore(QByteArrayView bytes, qsizetype i) const;
};

// Bytes [base, base + bytes.size()) of a text of end bytes whose first line
// starts at first (after a byte-order mark).
struct TextWindow {
    QByteArrayView bytes;
    qint64 base = 0;
    qint64 first = 0;
    qint64 end = 0;
};

// The start of the line after the one starting at start, or end. The window
// holds [start, start + NextReach) or up to the end.
constexpr qint64 NextReach = PieceBytes + 8;
qint64 nextLineStart(const TextWindow& w, const LineBreaks& b, qint64 start);
// The start of the line before start (> first). The window holds
// [start - PreviousReach, start + 2) or from the first line.
constexpr qint64 PreviousReach = 2 * PieceBytes + 8;
qint64 previousLineStart(const TextWindow& w, const LineBreaks& b, qint64 start);

// Finds the line starts of a text read in order, chunk by chunk, by the same
// rules: every start after first.
class LineStartScanner {
  public:
    LineStartScanner(LineBreaks breaks, qint64 first) : b_(breaks), lineStart_(first) {}
    // bytes are [at, at + bytes.size()); at is a whole number of units on.
    void feed(QByteArrayView bytes, qint64 at, std::vector<qint64>& out);
    // The text ends at end.
    void finish(qint64 end, std::vector<qint64>& out);

  private:
    void feedBytes(QByteArrayView bytes, qint64 at, std::vector<qint64>& out);
    void lineEnd(qint64 contentEnd, qint64 next, std::vector<qint64>& out);

    LineBreaks b_;
    qint64 lineStart_;
    bool startPending_ = false; // lineStart_ is known to begin a line once text follows
    qint64 crAt_ = -1;          // a CR ending the last chunk, its LF still to come
};
