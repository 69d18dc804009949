#pragma once

#include <QByteArrayView>

// One lexical item of an RTF stream.
struct RtfToken {
    enum Kind { GroupStart, GroupEnd, Word, Symbol, Text, Hex, Binary, End };
    Kind kind = End;
    QByteArrayView data; // the word's name, a text run or binary data
    int param = 0;
    bool hasParam = false;
    char symbol = 0;        // Symbol: the character after the backslash
    unsigned char byte = 0; // Hex: the byte of a \'hh escape
};

// Splits RTF into tokens. Line breaks and NUL bytes in the source are dropped, \binN data is
// returned whole as Binary, parameters saturate instead of overflowing, a
// truncated escape ends the stream quietly and a broken \' escape takes its two
// characters with it.
class RtfTokenizer {
  public:
    explicit RtfTokenizer(QByteArrayView data) : data_(data) {}
    RtfToken next();
    qsizetype position() const { return pos_; }
    // The input from here on, at most bytes of it.
    QByteArrayView ahead(qsizetype bytes) const {
        return data_.sliced(pos_, qMin(bytes, data_.size() - pos_));
    }
    // The double-byte code page raw text is in (932, 936, 949, 950, 1361), or
    // 0: after a lead byte the next byte belongs to the character, even a
    // brace or a backslash.
    void setDoubleByteCodePage(int codePage) { doubleByte_ = codePage; }

  private:
    RtfToken controlWord();
    RtfToken hexEscape();
    RtfToken text();
    bool atEnd() const { return pos_ >= data_.size(); }
    char peek() const { return data_[pos_]; }

    QByteArrayView data_;
    qsizetype pos_ = 0;
    int doubleByte_ = 0;
};

// Whether the code page is one of the double-byte pages of East Asia.
bool isDoubleByteCodePage(int codePage);
// Whether the byte starts a two-byte character in that code page.
bool isLeadByte(int codePage, unsigned char byte);
