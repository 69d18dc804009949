#include "settings/SettingsLocation.h"

#include "system/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

SettingsLocation::AppPathProvider& provider() {
    static SettingsLocation::AppPathProvider p;
    return p;
}

// True when a new file can be made in folder: the settings are written to a
// temporary file there and renamed over viewer.ini.
bool canCreateFileIn(const QString& folder) {
    QTemporaryFile probe(joinPath(folder, QStringLiteral("viewer.ini.XXXXXX")));
    return probe.open();
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
    return QCoreApplication::applicationDirPath();
}

AppPathProvider setApplicationPathProvider(AppPathProvider p) {
    AppPathProvider previous = std::move(provider());
    provider() = std::move(p);
    return previous;
}

QString settingsFolderFor(const QString& appPath) {
    const QString programFolder = withTrailingSeparator(appPath);
    if (!isSystemProgramFolder(appPath) &&
        (QFileInfo::exists(programFolder + QStringLiteral("viewer.ini")) ||
         canCreateFileIn(programFolder)))
        return programFolder;
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (userFolder.isEmpty()) return programFolder;
    // When even this cannot be made, the writes fail and the user is told then.
    QDir().mkpath(userFolder);
    return withTrailingSeparator(userFolder);
}

} // namespace SettingsLocation
