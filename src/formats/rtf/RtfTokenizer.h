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

// Splits RTF into tokens. Line breaks in the source are dropped, \binN data is
// returned whole as Binary, parameters saturate instead of overflowing, and a
// truncated escape ends the stream quietly.
class RtfTokenizer {
  public:
    explicit RtfTokenizer(QByteArrayView data) : data_(data) {}
    RtfToken next();
    qsizetype position() const { return pos_; }

  private:
    RtfToken controlWord();
    RtfToken hexEscape();
    RtfToken text();
    bool atEnd() const { return pos_ >= data_.size(); }
    char peek() const { return data_[pos_]; }

    QByteArrayView data_;
    qsizetype pos_ = 0;
};
