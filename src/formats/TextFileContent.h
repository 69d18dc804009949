#pragma once

#include <QByteArray>
#include <QString>

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
// cannot be read or is no regular file. The caller owns the descriptor.
int openTextFile(const QString& path);

// The size the pane reads of the open file: its start only, past a bound.
qint64 textFileBytes(int fd);

// Reads the open file (closing it) and decodes it; nfo tells that the name
// marks DOS art. Throws PlatformError 57 when reading fails. Runs on any
// thread; once dropped becomes true it stops early with nothing.
TextFileContent readTextFile(int fd, bool nfo, const std::atomic_bool& dropped);

// The decoding alone, of bytes in memory.
TextFileContent textFileContent(const QByteArray& bytes, bool nfo);
