#pragma once

// An open file descriptor with one owner, closed when the owner is done. It
// moves between owners (to a worker thread, for example) and never copies.
class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() { reset(); }
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int fd() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Gives the descriptor up to a new owner (a QFile, say), which closes it.
    int release();
    // Closes now, ignoring errors: for a file that was only read.
    void reset();
    // Closes now and throws PlatformError when the close fails, as a late
    // write error shows there.
    void close();

  private:
    int fd_ = -1;
};
