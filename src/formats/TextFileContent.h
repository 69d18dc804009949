#pragma once

#include <QByteArray>
#include <QString>

#include "system/FileHandle.h"

#include <atomic>

// What a file given to the rich-text pane holds, read and decoded: an RTF
// document still to be read into the pane, or text to show.
struct TextFileContent {
    enum Kind { Rtf, Plain, Nfo, Unreadable };
    Kind kind = Unreadable;
    QByteArray rtf;
    QString text;
};

// Opens the file for reading: PlatformError 53 when it is missing, 70 when it
// cannot be read or is no regular file.
FileHandle openTextFile(const QString& path);

// The size of the open file.
qint64 textFileBytes(int fd);

// The first bytes of the open file (fewer when it is shorter).
QByteArray textFileStart(int fd, qint64 bytes);

// How a file too large to read whole shows, judged on its start: RTF and Word
// documents are read whole all the same; plain text and NFO art show piece by
// piece; a binary file shows as unreadable.
enum class LargeTextFile { ReadWhole, InPieces, Unreadable };
LargeTextFile largeTextFile(const QByteArray& start, bool nfo);

// Reads the open file (closing it; its first 64 MB at most) and decodes it;
// nfo tells that the name marks DOS art. Throws PlatformError 57 when reading fails. Runs on any
// thread; once dropped becomes true it stops early with nothing.
TextFileContent readTextFile(FileHandle file, bool nfo, const std::atomic_bool& dropped);

// The decoding alone, of bytes in memory.
TextFileContent textFileContent(const QByteArray& bytes, bool nfo);
