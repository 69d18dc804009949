#pragma once

#include <QString>
#include <functional>

// Where viewer.ini lives.
namespace SettingsLocation {

using AppPathProvider = std::function<QString()>;

// The folder the program runs from. It comes from here alone, so tests and
// anyone embedding the window can point it elsewhere.
QString applicationPath();

// Replaces where the application path comes from; an empty provider brings
// back the program's own folder. Returns the previous provider.
AppPathProvider setApplicationPathProvider(AppPathProvider provider);

// The settings folder, ending in a separator: the program's folder when
// viewer.ini exists there or could be created there, otherwise the user's
// configuration folder for the program, created when needed.
QString settingsFolderFor(const QString& appPath);

} // namespace SettingsLocation
