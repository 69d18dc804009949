#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The encoding of a plain text too large to decode whole: decided once on a
// sample of its start, by the same detection as a whole text gets, and then
// applied to any piece of it that starts and ends between characters.
class TextEncoding {
  public:
    enum Kind { Utf8, Utf16LE, Utf16BE, CodePage, Named };

    // nfo: DOS art, code page 437 whatever the bytes.
    static TextEncoding ofSample(QByteArrayView sample, bool nfo);

    Kind kind() const { return kind_; }
    // Bytes per code unit: 2 for UTF-16, else 1.
    int unitBytes() const { return kind_ == Utf16LE || kind_ == Utf16BE ? 2 : 1; }
    // Length of the byte-order mark the text starts with.
    int markBytes() const { return markBytes_; }

    // A NUL shows as its visible symbol, as in a whole text.
    QString decode(QByteArrayView bytes) const;
    // The first character boundary at or after at (at most one character on):
    // a piece cut at a fixed byte boundary starts and ends there.
    qsizetype boundaryFrom(QByteArrayView bytes, qsizetype at) const;
    // How many bytes of text the first chars decoded characters take.
    qsizetype bytesOfChars(QByteArrayView bytes, qsizetype chars) const;

  private:
    QString decoded(QByteArrayView bytes) const;

    Kind kind_ = Utf8;
    int codePage_ = 0;
    QByteArray name_; // of a set the system's converters know
    int markBytes_ = 0;
};
