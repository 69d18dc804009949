#include "system/Paths.h"

QString withTrailingSeparator(const QString& folder) {
    if (folder.endsWith(QLatin1Char('/'))) return folder;
    return folder + QLatin1Char('/');
}

QString joinPath(const QString& folder, const QString& name) {
    return withTrailingSeparator(folder) + name;
}
