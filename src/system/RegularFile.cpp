#include "system/RegularFile.h"

#include "system/PlatformError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<QFile> openRegularFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    // A device is not even opened: opening some has effects of its own.
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) throwFromErrno(errno, path);
    if (!S_ISREG(info.st_mode)) throw PlatformError(Err::PermissionDenied, path);
    // O_NONBLOCK: opening a pipe with no writer would otherwise wait for one.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) throwFromErrno(errno, path);
    // Checked again on the descriptor: the name may have changed meanwhile.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw PlatformError(Err::PermissionDenied, path);
    }
    // Reads of a regular file never wait anyway; clear the flag for clarity.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw PlatformError(Err::PermissionDenied, path);
    }
    return file;
}
