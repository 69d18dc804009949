#include "settings/SettingsLocation.h"

#include "system/FileNames.h"
#include "system/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

SettingsLocation::AppPathProvider& provider() {
    static SettingsLocation::AppPathProvider p;
    return p;
}

// True when a new file can be made in folder: the settings are written to a
// temporary file there and renamed over viewer.ini.
bool canCreateFileIn(const QString& folder) {
    QByteArray probe = FileNames::encode(joinPath(folder, QStringLiteral(".viewer.ini.XXXXXX")));
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.constData());
    return true;
}

bool exists(const QString& path) {
    struct stat st {};
    return ::lstat(FileNames::encode(path).constData(), &st) == 0;
}

// The program's folder, from the link the kernel keeps to the running file.
QString runningProgramFolder() {
    char target[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", target, sizeof target);
    if (size <= 0 || size >= ssize_t(sizeof target)) return QCoreApplication::applicationDirPath();
    const QByteArray file(target, size);
    const qsizetype slash = file.lastIndexOf('/');
    return slash <= 0 ? QStringLiteral("/") : FileNames::decode(file.left(slash));
}

// The shared program folders of an installed system: a program there belongs
// to every user, so its settings go to each user's own folder, even for root.
bool isSystemProgramFolder(const QString& folder) {
    const QString clean = QDir::cleanPath(folder);
    for (const char* shared : {"/usr/bin", "/usr/local/bin", "/bin", "/usr/games", "/opt"}) {
        const QLatin1String root(shared);
        if (clean == root || (root == QLatin1String("/opt") && clean.startsWith(root + '/')))
            return true;
    }
    return false;
}

} // namespace

namespace SettingsLocation {

QString applicationPath() {
    if (provider()) return provider()();
    return runningProgramFolder();
}

AppPathProvider setApplicationPathProvider(AppPathProvider p) {
    AppPathProvider previous = std::move(provider());
    provider() = std::move(p);
    return previous;
}

QString settingsFolderFor(const QString& appPath) {
    const QString programFolder = withTrailingSeparator(appPath);
    if (!isSystemProgramFolder(appPath) &&
        (exists(programFolder + QStringLiteral("viewer.ini")) || canCreateFileIn(programFolder)))
        return programFolder;
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (userFolder.isEmpty()) return programFolder;
    // When even this cannot be made, the writes fail and the user is told then.
    QDir().mkpath(userFolder);
    return withTrailingSeparator(userFolder);
}

} // namespace SettingsLocation
