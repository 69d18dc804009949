#include "fileops/SafeCopy.h"

#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QRandomGenerator>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char Prefix[] = ".quillory-copy-";
constexpr int SuffixLength = 6;
constexpr time_t StaleSeconds = 24 * 60 * 60;

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

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray temporaryName(const QByteArray& folder) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = folder + '/' + Prefix;
    for (int i = 0; i < SuffixLength; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name;
}

// The file that takes the copy. Made without a name (O_TMPFILE) where the
// file system allows, so nothing is left when the copy dies; elsewhere a
// hidden file beside the target, removed again unless renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(const QByteArray& target) : folder_(folderOf(target)) {
        int fd = ::open(folder_.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) failWithErrno();
            path_ = folder_ + '/' + Prefix + "XXXXXX";
            fd = ::mkostemp(path_.data(), O_CLOEXEC);
            if (fd < 0) failWithErrno();
        }
        handle_ = std::make_unique<FileHandle>(fd);
    }
    ~TemporaryFile() {
        handle_.reset();
        if (!path_.isEmpty() && !renamed_) ::unlink(path_.constData());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    int fd() const { return handle_->fd(); }

    void renameTo(const QByteArray& target) {
        if (path_.isEmpty()) giveName();
        handle_->close();
        if (::rename(path_.constData(), target.constData()) != 0) failWithErrno();
        renamed_ = true;
    }

  private:
    // The complete file gets a name of the temporary pattern for the moment
    // between linking and renaming.
    void giveName() {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle_->fd());
        for (;;) {
            QByteArray name = temporaryName(folder_);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
                path_ = std::move(name);
                return;
            }
            if (errno != EEXIST) failWithErrno();
        }
    }

    QByteArray folder_;
    QByteArray path_; // empty while the file has no name
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

void copyContent(int from, int to, qint64 total, const CopyProgress& progress) {
    std::vector<char> buffer(1 << 16);
    qint64 done = 0;
    if (progress && !progress(done, total)) throw CopyCancelled();
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            failWithErrno();
        }
        if (got == 0) return;
        writeAll(to, buffer.data(), size_t(got));
        done += got;
        if (progress && !progress(done, total)) throw CopyCancelled();
    }
}

bool isOurTemporaryName(const char* name) {
    const QByteArray n(name);
    return n.size() == qsizetype(sizeof Prefix - 1 + SuffixLength) && n.startsWith(Prefix);
}

} // namespace

void copyFileSafely(const QString& source, const QString& target, const CopyProgress& progress) {
    const QByteArray to = FileNames::encode(target);
    FileHandle in(FileNames::openRegularFile(source));
    struct stat sourceInfo {};
    if (::fstat(in.fd(), &sourceInfo) != 0) failWithErrno();

    struct stat targetInfo {};
    if (::stat(to.constData(), &targetInfo) == 0) {
        if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino)
            throw PlatformError(Err::PathFileAccess,
                                QStringLiteral("source and target are the same file"));
        if (!S_ISREG(targetInfo.st_mode))
            throw PlatformError(Err::PathFileAccess,
                                target + QStringLiteral(": not a regular file"));
        // The read-only mark holds for root too.
        if ((targetInfo.st_mode & S_IWUSR) == 0)
            throw PlatformError(Err::PermissionDenied, target + QStringLiteral(": read-only"));
    }

    TemporaryFile copy(to);
    const int out = copy.fd();
    copyContent(in.fd(), out, sourceInfo.st_size, progress);
    // Some file systems (FAT) cannot hold mode bits or times; the content is
    // what the user asked for, so those two are kept where they can be. No
    // copy becomes a set-user-ID or set-group-ID program of whoever copied it.
    (void)::fchmod(out, sourceInfo.st_mode & 0777);
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    (void)::futimens(out, times);
    if (::fsync(out) != 0) failWithErrno();
    copy.renameTo(to);
}

void removeStaleCopies(const QString& folder) {
    const QByteArray native = FileNames::encode(folder);
    const int dirFd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return;
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return;
    }
    const time_t now = ::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!isOurTemporaryName(entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && now - st.st_mtime > StaleSeconds)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}
