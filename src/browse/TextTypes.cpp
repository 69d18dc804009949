#include "browse/TextTypes.h"

#include <QStringList>

bool isTextTypeName(const QString& fileName) {
    const QString ending = fileName.right(3);
    for (const char* type : {"txt", "doc", "nfo"}) {
        if (ending.compare(QLatin1String(type), Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}
