#pragma once

#include <QString>

// Copies the file at source to target, replacing a file of that name.
// The data goes to a temporary file in the target's folder first, which is
// renamed over the target only when complete, so a failed copy leaves no
// partial file and an existing target as it was. The copy keeps the source's
// modification time and permissions. Throws PlatformError on failure; a
// target that is the source itself is refused and left intact.
void copyFileSafely(const QString& source, const QString& target);
