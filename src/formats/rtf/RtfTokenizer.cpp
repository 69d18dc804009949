#include "formats/rtf/RtfTokenizer.h"

namespace {
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
constexpr qsizetype MaxWordLength = 32;
constexpr long long MaxParam = 0x7FFFFFFF;
bool isSyntax(char c) {
    return c == '\\' || c == '{' || c == '}';
}
} // namespace

bool isDoubleByteCodePage(int codePage) {
    switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
        return true;
    default:
        return false;
    }
}

bool isLeadByte(int codePage, unsigned char byte) {
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 1361:
        return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xF9);
    default:
        return isDoubleByteCodePage(codePage) && byte >= 0x81 && byte <= 0xFE;
    }
}

RtfToken RtfTokenizer::next() {
    // Line breaks are layout of the source; NUL bytes are what a file cut
    // short by a crash is often padded with.
    while (!atEnd() && (peek() == '\r' || peek() == '\n' || peek() == '\0'))
        ++pos_;
    RtfToken token;
    if (atEnd()) return token;
    switch (peek()) {
    case '{':
        ++pos_;
        token.kind = RtfToken::GroupStart;
        return token;
    case '}':
        ++pos_;
        token.kind = RtfToken::GroupEnd;
        return token;
    case '\\':
        ++pos_;
        if (atEnd()) return token;
        if (isLetter(peek())) return controlWord();
        if (peek() == '\'') return hexEscape();
        token.kind = RtfToken::Symbol;
        token.symbol = data_[pos_++];
        return token;
    default:
        return text();
    }
}

RtfToken RtfTokenizer::controlWord() {
    RtfToken token;
    token.kind = RtfToken::Word;
    const qsizetype start = pos_;
    while (!atEnd() && isLetter(peek()))
        ++pos_;
    // An absurdly long name cannot be a word we know; keep it unknown.
    token.data = data_.sliced(start, qMin(pos_ - start, MaxWordLength + 1));
    bool negative = false;
    if (!atEnd() && peek() == '-' && pos_ + 1 < data_.size() && isDigit(data_[pos_ + 1])) {
        negative = true;
        ++pos_;
    }
    long long value = 0;
    while (!atEnd() && isDigit(peek())) {
        token.hasParam = true;
        value = qMin(value * 10 + (peek() - '0'), MaxParam);
        ++pos_;
    }
    token.param = int(negative ? -value : value);
    if (!atEnd() && peek() == ' ') ++pos_;
    if (token.data == "bin" && token.hasParam) {
        // The data that follows is raw bytes, never RTF.
        const qsizetype length = qBound(qsizetype(0), qsizetype(token.param), data_.size() - pos_);
        token.kind = RtfToken::Binary;
        token.data = data_.sliced(pos_, length);
        pos_ += length;
    }
    return token;
}

RtfToken RtfTokenizer::hexEscape() {
    ++pos_; // the quote
    RtfToken token;
    if (pos_ + 2 > data_.size()) {
        pos_ = data_.size();
        return token;
    }
    const int high = hexValue(data_[pos_]);
    const int low = hexValue(data_[pos_ + 1]);
    if (high < 0 || low < 0) {
        // A broken escape yields nothing, and neither do the two characters
        // that should have been its digits, unless they are RTF's own.
        for (int i = 0; i < 2 && !atEnd() && !isSyntax(peek()); ++i)
            ++pos_;
        token.kind = RtfToken::Symbol;
        token.symbol = '\'';
        return token;
    }
    pos_ += 2;
    token.kind = RtfToken::Hex;
    token.byte = static_cast<unsigned char>(high * 16 + low);
    return token;
}

RtfToken RtfTokenizer::text() {
    RtfToken token;
    token.kind = RtfToken::Text;
    const qsizetype start = pos_;
    while (!atEnd()) {
        const char c = peek();
        if (isSyntax(c) || c == '\r' || c == '\n' || c == '\0') break;
        ++pos_;
        if (doubleByte_ && isLeadByte(doubleByte_, static_cast<unsigned char>(c)) && !atEnd())
            ++pos_; // the trail byte, whatever it is
    }
    token.data = data_.sliced(start, pos_ - start);
    return token;
}
