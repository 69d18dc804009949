#include "system/ReadAt.h"

#include <cerrno>
#include <unistd.h>

qint64 readAt(int fd, char* into, qint64 len, qint64 at) {
    qint64 done = 0;
    while (done < len) {
        const ssize_t got = ::pread(fd, into + done, size_t(len - done), at + done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += got;
    }
    return done;
}
