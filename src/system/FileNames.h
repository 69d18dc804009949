#pragma once

#include "system/FileHandle.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// File names are bytes; the program holds them as text. This is the one
// mapping between the two, and it loses nothing: bytes that are not UTF-8
// become lone surrogates U+DC80..U+DCFF (one per byte) and turn back into
// the same bytes, so two names that differ in bytes never share a text.
namespace FileNames {

QString decode(const char* bytes, qsizetype size);
QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text);

// The text as the user sees it: each byte that is not UTF-8 shows as U+FFFD.
QString display(const QString& text);

// A file: URL that carries the path's exact bytes.
QUrl fileUrl(const QString& path);

// The process's current folder.
QString currentPath();

// Opens path for reading when it is a regular file (or a link to one); a
// FIFO or device is refused without waiting on it. Throws PlatformError: 53
// when nothing is there, 75 for another kind of file, else from errno.
FileHandle openRegularFile(const QString& path);

} // namespace FileNames
