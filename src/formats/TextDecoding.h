#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Plain text of unknown origin: a byte-order mark decides UTF-8, UTF-16 LE or
// BE; without one, UTF-16 is known by its pattern of zero bytes, valid UTF-8 is
// UTF-8 and anything else is decoded as decodeUnmarked does. A NUL character
// shows as the visible symbol for it (U+2400).
QString decodeText(const QByteArray& bytes);

// A NUL character shown as the visible symbol for it (U+2400): an empty place
// would hide it, and text layout takes it for the end of a string in places.
QString withVisibleNul(QString text);

// Whether the bytes are UTF-16 without a mark, little- or big-endian: text
// mostly in the Latin, Greek or Cyrillic ranges has a zero byte on the same
// side of most characters and almost never on the other.
enum class Utf16Guess { None, LittleEndian, BigEndian };
Utf16Guess unmarkedUtf16(QByteArrayView bytes);

// Text with neither a mark nor valid UTF-8: its character set as the detector
// (uchardet) names it, in capitals; empty when it cannot tell.
QByteArray detectedCharset(QByteArrayView bytes);
// Decodes in the detected character set; Windows-1252 when the detector
// cannot tell or names a set that no converter knows.
QString decodeUnmarked(QByteArrayView bytes);

// Bytes in a Windows or DOS code page (1252, 1251, 437, 932, ...). The common
// single-byte pages use our own tables; double-byte and rarer pages need the
// system's converters and read as Windows-1252 where those are missing.
QString decodeCodePage(QByteArrayView bytes, int codePage);
QString decodeWindows1252(QByteArrayView bytes);

// CR LF, a lone CR and LF all end a line: the result uses LF only.
QString withLineFeeds(QString text);

// Whether the bytes are a binary file rather than text: neither UTF-16 (with a
// mark or by its pattern) nor free of NUL bytes near the start, which make up
// more than a small part of it there. A log with a stray NUL is still text.
bool looksBinary(const QByteArray& bytes);
