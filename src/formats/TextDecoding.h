#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Plain text of unknown origin: a byte-order mark decides UTF-8, UTF-16 LE or
// BE; without one, valid UTF-8 is UTF-8 and anything else is decoded as
// decodeUnmarked does.
QString decodeText(const QByteArray& bytes);

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

// Whether the bytes hold NUL characters near the start and no UTF-16 mark:
// such a file is binary, not text in any single-byte or UTF-8 encoding.
bool looksBinary(const QByteArray& bytes);
