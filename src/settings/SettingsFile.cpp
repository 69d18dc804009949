#include "settings/SettingsFile.h"

#include "formats/SettingsFormat.h"
#include "shell/Module.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Four short lines; anything past this is never looked at.
constexpr qint64 MaxFileBytes = 64 * 1024;

// The file a write goes to: viewer.ini itself, or the regular file that it
// links to. Anything else (device, FIFO, folder, a link to nothing) cannot
// take settings. Sets mode to the permissions the new file keeps.
QByteArray writeTarget(const QString& path, mode_t& mode) {
    QByteArray target = FileNames::encode(path);
    struct stat st {};
    if (::lstat(target.constData(), &st) != 0) {
        if (errno != ENOENT) throwFromErrno(errno, path);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
        return target;
    }
    if (S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(target.constData(), resolved) == nullptr) throwFromErrno(errno, path);
        target = resolved;
        if (::stat(target.constData(), &st) != 0) throwFromErrno(errno, path);
    }
    if (!S_ISREG(st.st_mode))
        throw PlatformError(Err::PathFileAccess, path + QStringLiteral(": not a regular file"));
    mode = st.st_mode & 0777;
    return target;
}

// A file beside the target that takes the new content; removed again unless
// it was renamed over the target.
class Replacement {
  public:
    explicit Replacement(const QByteArray& target) : target_(target) {
        const qsizetype slash = target.lastIndexOf('/');
        path_ = (slash < 0 ? QByteArray() : target.left(slash + 1)) + ".viewer.ini.XXXXXX";
        fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
        if (fd_ < 0) throwFromErrno(errno);
    }
    ~Replacement() {
        if (fd_ >= 0) ::close(fd_);
        if (!done_) ::unlink(path_.constData());
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Every step is checked: the target is replaced only by a whole file on disk.
    void commit(const QByteArray& bytes, mode_t mode) {
        const char* data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(fd_, data, size_t(left));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) throwFromErrno(written < 0 ? errno : ENOSPC);
            data += written;
            left -= written;
        }
        (void)::fchmod(fd_, mode); // a file system without modes keeps its own
        if (::fsync(fd_) != 0) throwFromErrno(errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throwFromErrno(errno);
        if (::rename(path_.constData(), target_.constData()) != 0) throwFromErrno(errno);
        done_ = true;
    }

  private:
    QByteArray target_;
    QByteArray path_;
    int fd_ = -1;
    bool done_ = false;
};

} // namespace

namespace SettingsFile {

QString path() {
    return Module::AppDir + QStringLiteral("viewer.ini");
}

QString read() {
    QFile file;
    file.open(FileNames::openRegularFile(path()), QIODevice::ReadOnly,
              QFileDevice::AutoCloseHandle);
    const QByteArray bytes = file.read(MaxFileBytes);
    if (file.error() != QFileDevice::NoError)
        throw PlatformError(Err::DeviceIO, path() + QStringLiteral(": ") + file.errorString());
    file.close();

    const SettingsLines lines = SettingsFormat::parse(bytes);
    Module::TextFiles = lines.textFiles;
    Module::SoundFiles = lines.soundFiles;
    Module::VideoFiles = lines.videoFiles;
    return lines.folder;
}

void write(const QString& textFiles, const QString& folder, const QString& soundFiles,
           const QString& videoFiles) {
    const QByteArray bytes =
        SettingsFormat::format(SettingsLines{textFiles, folder, soundFiles, videoFiles});
    mode_t mode = 0;
    const QByteArray target = writeTarget(path(), mode);
    Replacement(target).commit(bytes, mode);
}

} // namespace SettingsFile
