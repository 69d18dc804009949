#pragma once

#include "formats/worddoc/WordFib.h"

#include <QString>
#include <vector>

// The characters of a Word document, found through its piece table: each
// piece maps a run of character positions (CPs) to 8-bit or UTF-16 text at a
// file offset (FC) in the WordDocument stream. A piece that cannot be read
// costs its own characters only; without a readable piece table the text is
// taken from where the FIB says it lies.
class WordPieces {
  public:
    WordPieces(const WordFib& fib, QByteArrayView wordStream, QByteArrayView tableStream);

    // The characters from..to; those of damaged pieces are U+FFFF.
    QString text(quint32 from, quint32 to) const;
    // The FC of a character, for the tables indexed by FC; -1 when none.
    qint64 fcOf(quint32 cp) const;
    bool isEmpty() const { return pieces_.empty(); }
    // Whether any piece can be read at all.
    bool readable() const;

  private:
    struct Piece {
        quint32 cpStart = 0, cpEnd = 0;
        quint32 fc = 0; // the byte offset of its first character
        bool compressed = false;
        bool readable = false;
    };
    void readPieceTable(QByteArrayView clx, quint32 end);
    void guessWithoutTable(const WordFib& fib, quint32 end);

    QByteArrayView word_;
    std::vector<Piece> pieces_;
    quint32 end_ = 0; // no text lies beyond
};
