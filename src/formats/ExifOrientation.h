#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRect>

// The EXIF orientation (1 to 8) that the start of a JPEG file gives, stored
// as SHORT, LONG or SLONG; 1 when there is none or it is out of range.
int exifOrientation(QByteArrayView jpegStart);

// Orientations 5 to 8 turn the picture by a quarter: its sides swap.
constexpr bool swapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// Where a part of the upright picture lies in the picture as stored, of size
// stored, before upright turns it.
QRect storedPart(QRect part, QSize stored, int orientation);

// The decoded picture turned and mirrored so that it shows upright.
QImage upright(const QImage& decoded, int orientation);
