#pragma once

#include <QFile>
#include <QString>

#include <memory>

// Opens a file for reading only when it is a regular file. The type is
// checked on the open descriptor, and the open itself never waits, so a named
// pipe, a device or a link to one fails at once instead of holding the
// caller. Throws PlatformError: 53 when the file is missing, 70 for anything
// that is not a regular file, else the number that fits the system's error.
std::unique_ptr<QFile> openRegularFile(const QString& path);
