#include "fileops/SafeCopy.h"

#include "system/AtomicReplace.h"
#include "system/FileHandle.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr char Prefix[] = ".quillory-copy-";
constexpr time_t StaleSeconds = 24 * 60 * 60;

[[noreturn]] void failWithErrno() {
    throwFromErrno(errno);
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
    return n.size() == qsizetype(sizeof Prefix - 1 + AtomicReplace::SuffixLength) &&
           n.startsWith(Prefix);
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

    AtomicReplace copy(to, Prefix);
    const int out = copy.fd();
    copyContent(in.fd(), out, sourceInfo.st_size, progress);
    // Some file systems (FAT) cannot hold mode bits or times; the content is
    // what the user asked for, so those two are kept where they can be. No
    // copy becomes a set-user-ID or set-group-ID program of whoever copied it.
    (void)::fchmod(out, sourceInfo.st_mode & 0777);
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    (void)::futimens(out, times);
    copy.commit();
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
