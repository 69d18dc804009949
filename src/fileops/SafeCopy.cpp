#include "fileops/SafeCopy.h"

#include "system/PlatformError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

[[noreturn]] void failWithErrno() {
    throwFromErrno(errno);
}

class FileHandle {
  public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int fd() const { return fd_; }
    // Closes now, so that a late write error is seen.
    void close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) failWithErrno();
    }

  private:
    int fd_;
};

// The temporary file beside the target; removed again unless renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(const QString& target) {
        path_ = QFile::encodeName(QFileInfo(target).absolutePath()) + "/.quillory-copy-XXXXXX";
        const int fd = ::mkostemp(path_.data(), O_CLOEXEC);
        if (fd < 0) failWithErrno();
        handle_ = std::make_unique<FileHandle>(fd);
    }
    ~TemporaryFile() {
        handle_.reset();
        if (!renamed_) ::unlink(path_.constData());
    }
    FileHandle& handle() { return *handle_; }
    void renameTo(const QByteArray& target) {
        handle_->close();
        if (::rename(path_.constData(), target.constData()) != 0) failWithErrno();
        renamed_ = true;
    }

  private:
    QByteArray path_;
    std::unique_ptr<FileHandle> handle_;
    bool renamed_ = false;
};

void writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            failWithErrno();
        }
        data += written;
        size -= size_t(written);
    }
}

void copyContent(int from, int to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            failWithErrno();
        }
        if (got == 0) return;
        writeAll(to, buffer.data(), size_t(got));
    }
}

} // namespace

void copyFileSafely(const QString& source, const QString& target) {
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);

    FileHandle in(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd() < 0) failWithErrno();
    struct stat sourceInfo {};
    if (::fstat(in.fd(), &sourceInfo) != 0) failWithErrno();
    if (S_ISDIR(sourceInfo.st_mode)) throwFromErrno(EISDIR);

    struct stat targetInfo {};
    if (::stat(to.constData(), &targetInfo) == 0) {
        if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino)
            throw PlatformError(Err::PathFileAccess,
                                QStringLiteral("source and target are the same file"));
        if (S_ISDIR(targetInfo.st_mode)) throwFromErrno(EISDIR);
    }

    TemporaryFile copy(target);
    const int out = copy.handle().fd();
    copyContent(in.fd(), out);
    // Some file systems (FAT) cannot hold mode bits or times; the content is
    // what the user asked for, so those two are kept where they can be.
    (void)::fchmod(out, sourceInfo.st_mode & 07777);
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    (void)::futimens(out, times);
    if (::fsync(out) != 0) failWithErrno();
    copy.renameTo(to);
}
