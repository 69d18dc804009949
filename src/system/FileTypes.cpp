#include "system/FileTypes.h"

#include <QLatin1StringView>

namespace FileTypes {
namespace {

struct FileType {
    const char* extension;
    Group group;
};

constexpr FileType Table[] = {
    {"tif", Group::Picture}, {"bmp", Group::Picture}, {"gif", Group::Picture},
    {"jpg", Group::Picture}, {"dib", Group::Picture}, {"wmf", Group::Picture},
    {"emf", Group::Picture}, {"ico", Group::Picture}, {"cur", Group::Picture},
    {"txt", Group::Text},    {"doc", Group::Text},    {"nfo", Group::Text},
    {"mid", Group::Sound},   {"wav", Group::Sound},   {"au", Group::Sound},
    {"avi", Group::Video},
};

constexpr char NfoExtension[] = "nfo";

} // namespace

QString patterns(Group group) {
    QString result;
    for (const FileType& type : Table) {
        if (type.group != group) continue;
        if (!result.isEmpty()) result += u';';
        result += QStringLiteral("*.") + QLatin1StringView(type.extension);
    }
    return result;
}

bool isTextTypeName(const QString& fileName) {
    const QString ending = fileName.right(3);
    for (const FileType& type : Table) {
        if (type.group == Group::Text &&
            ending.compare(QLatin1StringView(type.extension), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isNfoName(const QString& fileName) {
    return fileName.endsWith(u'.' + QLatin1StringView(NfoExtension), Qt::CaseInsensitive);
}

} // namespace FileTypes
