#include "settings/SettingsFile.h"

#include "formats/SettingsFormat.h"
#include "shell/Module.h"
#include "system/AtomicReplace.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

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

} // namespace

namespace SettingsFile {

QString path() {
    return Module::AppDir + QStringLiteral("viewer.ini");
}

QString read() {
    QFile file;
    file.open(FileNames::openRegularFile(path()).release(), QIODevice::ReadOnly,
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
    AtomicReplace replacement(target, ".viewer.ini.");
    replacement.write(bytes);
    (void)::fchmod(replacement.fd(), mode); // a file system without modes keeps its own
    replacement.commit();
}

} // namespace SettingsFile
