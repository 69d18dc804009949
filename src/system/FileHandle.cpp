#include "system/FileHandle.h"

#include "system/PlatformError.h"

#include <cerrno>
#include <unistd.h>
#include <utility>

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

int FileHandle::release() {
    return std::exchange(fd_, -1);
}

void FileHandle::reset() {
    if (fd_ >= 0) ::close(release());
}

void FileHandle::close() {
    if (fd_ >= 0 && ::close(release()) != 0) throwFromErrno(errno);
}
