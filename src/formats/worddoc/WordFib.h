#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <optional>

// What the File Information Block at the start of a Word 97-2003 document's
// WordDocument stream says: the table stream to use, how many characters each
// story has, and where the tables (fc/lcb pairs) lie in the table stream.
struct WordFib {
    // The stories in the order their characters follow each other.
    enum Story { Main, Footnotes, Headers, Macros, Comments, Endnotes, TextBoxes, HeaderBoxes };
    // Pairs of the tables read here.
    enum Table {
        Stylesheet = 1,
        FootnoteRefs = 2,
        FootnoteTexts = 3,
        ParagraphBins = 13,
        Pieces = 33,
        ShapeAnchors = 40,
        EndnoteRefs = 46,
        EndnoteTexts = 47,
        TextBoxTexts = 56,
        ListDefinitions = 73,
        ListOverrides = 74,
    };

    bool table1 = false;
    quint32 fcMin = 0, fcMac = 0; // where the text lies when the piece table cannot tell
    std::array<quint32, 8> ccp{};
    QByteArrayView fcLcb;

    // The first character of a story, counted over the stories before it.
    quint32 storyStart(Story story) const;
    // A table's bytes in the table stream; empty when the FIB or the stream
    // has no such part.
    QByteArrayView table(QByteArrayView tableStream, Table which) const;
    // The table stream from a table's start to its end: the list definitions'
    // levels follow their table rather than belong to it.
    QByteArrayView tableOnward(QByteArrayView tableStream, Table which) const;
};

// Nothing when the stream is no Word 97 (or later) document or is encrypted.
std::optional<WordFib> readWordFib(QByteArrayView stream);
