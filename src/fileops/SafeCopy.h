#pragma once

#include <QString>
#include <exception>
#include <functional>

// Told how far a copy has come (bytes done of total); returns false to stop it.
using CopyProgress = std::function<bool(qint64 done, qint64 total)>;

// Thrown when the progress callback stopped a copy.
class CopyCancelled : public std::exception {
  public:
    const char* what() const noexcept override { return "copy cancelled"; }
};

// Copies the regular file at source to target, replacing a file of that name.
// The data goes to a temporary file in the target's folder that has no name
// until it is complete (where the file system allows; elsewhere a hidden
// .quillory-copy-XXXXXX file), then replaces the target in one rename: a failed,
// cancelled or killed copy leaves no partial file and an existing target as it
// was. The copy keeps the source's modification time and permission bits, less
// set-user-ID, set-group-ID and sticky. A target that is read-only (its owner
// may not write it) is refused with 70 whoever runs the program; a target that
// is the source itself is refused and left intact. Throws PlatformError, or
// CopyCancelled when progress returns false.
void copyFileSafely(const QString& source, const QString& target,
                    const CopyProgress& progress = {});

// Removes what copies killed half-way left in folder: files of the temporary
// name pattern, owned by this user, untouched for more than a day.
void removeStaleCopies(const QString& folder);
