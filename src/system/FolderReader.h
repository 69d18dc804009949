#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

// Reads a folder's entries; throws the platform error when it cannot be
// opened (68 when the volume holding it is gone).
namespace FolderReader {

enum class Kind { Files, Folders };

using NameFilter = std::function<bool(QStringView name)>;

// The visible (not dot-hidden) entries of one kind that the filter accepts
// (all with no filter), sorted by name without regard to case.
QStringList entries(const QString& folder, Kind kind, const NameFilter& accept = {});

// Sorts names the way the lists show them.
void sortNames(QStringList& names);

// Throws unless folder is a folder that can be opened and read.
void checkOpenable(const QString& folder);

} // namespace FolderReader
