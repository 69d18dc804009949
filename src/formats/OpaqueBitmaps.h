#pragma once

#include <QByteArray>

// A 32-bit BI_RGB bitmap is opaque: its fourth bytes are unused and often hold
// leftovers. Qt's BMP reader takes them as alpha when a newer header (56 bytes
// or more) carries an alpha mask, which BI_RGB says to ignore; these clear that
// mask so the reader keeps the picture opaque.

// For a BITMAPINFOHEADER or later header starting at `at` in bytes.
void clearUnusedAlphaMask(QByteArray& bytes, qsizetype at);
// For a whole BMP file (its info header follows the 14-byte file header).
inline QByteArray withUnusedAlphaMaskCleared(QByteArray bmpFile) {
    clearUnusedAlphaMask(bmpFile, 14);
    return bmpFile;
}
