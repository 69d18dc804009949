#pragma once

#include <QString>

// viewer.ini in the settings folder Module::AppDir. Each step opens the file,
// does its work and closes it again.
namespace SettingsFile {

// Module::AppDir followed by "viewer.ini".
QString path();

// Fills Module::TextFiles, SoundFiles and VideoFiles from the file and returns
// the folder item. Throws PlatformError (53 for a missing file, 62 for one that
// ends too early) and then leaves the three options as they were.
QString read();

// Replaces the file with four lines. The lines go to a temporary file that is
// renamed over viewer.ini, so a failed write leaves the old file whole.
// Throws PlatformError when the file cannot be written.
void write(const QString& textFiles, const QString& folder, const QString& soundFiles,
           const QString& videoFiles);

} // namespace SettingsFile
