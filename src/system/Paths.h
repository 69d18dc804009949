#pragma once

#include <QString>

// The folder with a separator at its end, unless it already ends in one
// (the root "/" does). This is the form in which folders are stored.
QString withTrailingSeparator(const QString& folder);

// A folder and a file name joined by exactly one separator.
QString joinPath(const QString& folder, const QString& name);
