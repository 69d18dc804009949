#pragma once

#include <QString>

// viewer.ini in the settings folder Module::AppDir. Each step opens the file,
// does its work and closes it again.
namespace SettingsFile {

// Module::AppDir followed by "viewer.ini".
QString path();

// Fills Module::TextFiles, SoundFiles and VideoFiles from the file and returns
// the folder item. Only a regular file (or a link to one) is read, and only
// its first 64 KiB. Throws PlatformError (53 for a missing file, 75 for
// another kind of file, 62 for one that ends too early, 76 for a NUL in an
// item) and then leaves the three options as they were.
QString read();

// Replaces the file with four lines. The lines go to a temporary file that is
// renamed over viewer.ini only when written and synced, so a failed write
// leaves the old file byte for byte. A link to a regular file is written
// through; any other kind of file counts as unwritable. Throws PlatformError
// when the file cannot be written.
void write(const QString& textFiles, const QString& folder, const QString& soundFiles,
           const QString& videoFiles);

} // namespace SettingsFile
