#pragma once

#include "system/FileHandle.h"

#include <QByteArray>

#include <memory>
#include <vector>

// A file held open for reading by a view and its indexing worker alike, and
// closed when both let go. Its size is the one it had when opened: a file
// that grows meanwhile shows what it had.
class HeldFile {
  public:
    explicit HeldFile(FileHandle file);

    qint64 size() const { return size_; }
    // The size it has now.
    qint64 currentSize() const;
    // Reads up to len bytes at at; fewer where the file has become shorter.
    qint64 read(char* into, qint64 len, qint64 at) const;

  private:
    FileHandle file_;
    qint64 size_ = 0;
};

// The bytes of a held file, read in blocks as they are needed and kept in a
// small cache, so that showing a screen of any file costs a few reads.
class TextFileBlocks {
  public:
    explicit TextFileBlocks(std::shared_ptr<const HeldFile> file);

    // Bytes [from, to) clipped to the text; shorter when the file got shorter.
    QByteArray bytes(qint64 from, qint64 to);
    // Where the text ends: the size, or earlier once a read found the end there.
    qint64 end() const { return end_; }
    const std::shared_ptr<const HeldFile>& file() const { return file_; }

  private:
    const QByteArray& block(qint64 number);

    struct Cached {
        qint64 number;
        QByteArray bytes;
        quint64 used;
    };
    std::shared_ptr<const HeldFile> file_;
    qint64 end_;
    std::vector<Cached> cache_;
    quint64 clock_ = 0;
};
