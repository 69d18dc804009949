#pragma once

#include <QString>

// The write step as the handlers use it: a settings file that cannot be
// written never ends the program. The options stay in memory and the user is
// told once per run.
namespace SettingsStore {

// Writes viewer.ini; returns false when it could not be written.
bool store(const QString& textFiles, const QString& folder, const QString& soundFiles,
           const QString& videoFiles);

// Forgets that the user was told (a new run, or a test).
void resetWarning();

} // namespace SettingsStore
