#pragma once

#include <QString>
#include <QStringList>

// Reads a folder's entries; throws the platform error when it cannot be
// opened (68 when the volume holding it is gone).
namespace FolderReader {

enum class Kind { Files, Folders };

// The visible (not dot-hidden) entries of one kind, sorted by name without
// regard to case.
QStringList entries(const QString& folder, Kind kind);

// Sorts names the way the lists show them.
void sortNames(QStringList& names);

// Throws unless folder is a folder that can be opened and read.
void checkOpenable(const QString& folder);

} // namespace FolderReader
