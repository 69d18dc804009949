#pragma once

#include "formats/rtf/RtfControlWords.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>

struct RtfToken;

// Collects a \pict group: its kind, sizes and data (hex digits or \bin).
class RtfPicture {
  public:
    void begin() { *this = RtfPicture(); }
    void word(const RtfWordInfo& info, const RtfToken& token);
    void hexDigits(QByteArrayView text);
    void binary(QByteArrayView data);

    // The decoded picture, no larger than it is shown; a null image when it
    // cannot be shown.
    QImage image() const;
    // The size to show it at in pixels: the goal size, scaled, else its own.
    QSizeF displaySize(QSize own) const;
    // Its own size as the group states it, for a picture left undecoded.
    QSize statedSize() const { return {width_, height_}; }
    // Whether there is anything to decode.
    bool hasData() const { return kind_ != PictureOther && !data_.isEmpty(); }
    // Its own size as its data's header tells, without decoding; else the
    // stated size (a metafile's header gives none).
    QSize headerSize() const;
    // About the memory its image() takes when shown at that size.
    static qint64 shownBytes(QSize own, QSizeF shown);

  private:
    QImage decode() const;

    int kind_ = PictureOther;
    int width_ = 0, height_ = 0;         // \picw, \pich
    int goalWidth_ = 0, goalHeight_ = 0; // twips
    int scaleX_ = 100, scaleY_ = 100;    // percent
    QByteArray data_;
    int nibble_ = -1; // a first hex digit waiting for its partner
};

// A Windows metafile as RTF stores it lacks the placeable header that sizes it;
// this puts one in front, taken from the metafile's window records.
QByteArray withPlaceableHeader(const QByteArray& metafile, int goalWidth, int goalHeight);
