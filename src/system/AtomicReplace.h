#pragma once

#include "system/FileHandle.h"

#include <QByteArray>
#include <cstddef>

// Writes every byte, going on after interruptions. Throws PlatformError (61
// when the disk takes nothing more).
void writeAll(int fd, const char* data, size_t size);

// A new content for the file at target that replaces it whole or not at all.
// The content goes to a temporary file in the target's folder: one without a
// name (O_TMPFILE) where the file system allows, so that nothing is left when
// the program dies; elsewhere a hidden file named prefix plus six characters.
// commit() flushes it to disk, checking every step, and renames it over the
// target; a replacement destroyed before that removes its file and leaves the
// target byte for byte as it was.
class AtomicReplace {
  public:
    // Throws PlatformError when the folder takes no new file.
    AtomicReplace(const QByteArray& target, const char* prefix);
    ~AtomicReplace();
    AtomicReplace(const AtomicReplace&) = delete;
    AtomicReplace& operator=(const AtomicReplace&) = delete;

    // The temporary file, for the content and for its mode and times.
    int fd() const { return file_.fd(); }
    void write(const QByteArray& bytes) { writeAll(fd(), bytes.constData(), size_t(bytes.size())); }
    void commit();

    // The length of the names prefix gives hidden temporary files.
    static constexpr int SuffixLength = 6;

  private:
    void giveName();

    QByteArray target_, folder_, prefix_;
    QByteArray path_; // empty while the file has no name
    FileHandle file_;
    bool committed_ = false;
};
