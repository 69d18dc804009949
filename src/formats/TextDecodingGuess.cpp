#include "formats/TextDecoding.h"

#include <QStringDecoder>

// Telling text from binary, and UTF-16 without a mark, from the bytes alone.
namespace {
// Enough of a file to judge it by; the rest rarely changes the answer.
constexpr qsizetype SampleBytes = 64 * 1024;
// A binary file has NUL bytes in more than this part of its start (1 in 64);
// a text with one now and then (a log, a hand-edited file) stays text.
constexpr qsizetype NulShare = 64;
// UTF-16 of Latin, Greek or Cyrillic text has a zero high byte in at least
// this part of its characters (spaces, digits, punctuation)...
constexpr qsizetype ZeroHighShare = 10;
// ... and a zero low byte (U+0100, U+0400, ...) in at most this part.
constexpr qsizetype ZeroLowShare = 50;
// Control characters other than tab, line and page ends betray a binary file
// whose zero bytes merely happen to line up.
constexpr qsizetype ControlShare = 50;

bool hasUtf16Mark(QByteArrayView bytes) {
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

bool readsAsText(QByteArrayView bytes, QStringDecoder::Encoding encoding) {
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) return false;
    qsizetype controls = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f') ++controls;
    }
    return controls * ControlShare <= text.size();
}
} // namespace

Utf16Guess unmarkedUtf16(QByteArrayView bytes) {
    const QByteArrayView sample = bytes.first(qMin(bytes.size(), SampleBytes) & ~qsizetype(1));
    const qsizetype units = sample.size() / 2;
    if (units < 2) return Utf16Guess::None;
    qsizetype evenZeros = 0, oddZeros = 0;
    for (qsizetype i = 0; i < sample.size(); i += 2) {
        evenZeros += sample[i] == 0;
        oddZeros += sample[i + 1] == 0;
    }
    const auto fits = [units](qsizetype highZeros, qsizetype lowZeros) {
        return highZeros * ZeroHighShare >= units && lowZeros * ZeroLowShare <= units &&
               highZeros > lowZeros;
    };
    if (fits(oddZeros, evenZeros) && readsAsText(sample, QStringDecoder::Utf16LE))
        return Utf16Guess::LittleEndian;
    if (fits(evenZeros, oddZeros) && readsAsText(sample, QStringDecoder::Utf16BE))
        return Utf16Guess::BigEndian;
    return Utf16Guess::None;
}

bool looksBinary(const QByteArray& bytes) {
    if (hasUtf16Mark(bytes)) return false;
    const QByteArrayView sample = QByteArrayView(bytes).first(qMin(bytes.size(), SampleBytes));
    const qsizetype nuls = sample.count('\0');
    if (nuls == 0 || nuls * NulShare <= sample.size()) return false;
    return unmarkedUtf16(bytes) == Utf16Guess::None;
}
