#include "system/AtomicReplace.h"

#include "system/PlatformError.h"

#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return ".";
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray randomName(const QByteArray& folder, const QByteArray& prefix) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = folder + '/' + prefix;
    for (int i = 0; i < AtomicReplace::SuffixLength; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name;
}

} // namespace

void writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throwFromErrno(written < 0 ? errno : ENOSPC);
        data += written;
        size -= size_t(written);
    }
}

AtomicReplace::AtomicReplace(const QByteArray& target, const char* prefix)
    : target_(target), folder_(folderOf(target)), prefix_(prefix) {
    int fd = ::open(folder_.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) throwFromErrno(errno);
        path_ = folder_ + '/' + prefix_ + QByteArray(SuffixLength, 'X');
        fd = ::mkostemp(path_.data(), O_CLOEXEC);
        if (fd < 0) throwFromErrno(errno);
    }
    file_ = FileHandle(fd);
}

AtomicReplace::~AtomicReplace() {
    file_.reset();
    if (!path_.isEmpty() && !committed_) ::unlink(path_.constData());
}

void AtomicReplace::commit() {
    if (::fsync(fd()) != 0) throwFromErrno(errno);
    if (path_.isEmpty()) giveName();
    file_.close();
    if (::rename(path_.constData(), target_.constData()) != 0) throwFromErrno(errno);
    committed_ = true;
}

// The complete file gets a name of the temporary pattern for the moment
// between linking and renaming.
void AtomicReplace::giveName() {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd());
    for (;;) {
        QByteArray name = randomName(folder_, prefix_);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
            0) {
            path_ = std::move(name);
            return;
        }
        if (errno != EEXIST) throwFromErrno(errno);
    }
}
