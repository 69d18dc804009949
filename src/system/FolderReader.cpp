#include "system/FolderReader.h"

#include "system/FileNames.h"
#include "system/PlatformError.h"
#include "system/Volumes.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <vector>
#include <sys/stat.h>

namespace FolderReader {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

[[noreturn]] void throwOpenFailure(const QString& folder, int errnoValue) {
    const QList<Volume> volumes = Volumes::list();
    const int index = Volumes::indexOfVolumeHolding(volumes, folder);
    if (index >= 0 && !Volumes::isAccessible(volumes[index]))
        throw PlatformError(Err::DeviceUnavailable, folder);
    if (errnoValue == ENOENT) throw PlatformError(Err::PathNotFound, folder);
    throwFromErrno(errnoValue, folder);
}

DirHandle open(const QString& folder) {
    const QByteArray native = FileNames::encode(folder);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) throwOpenFailure(folder, errno);
    if (!S_ISDIR(st.st_mode)) throw PlatformError(Err::PathNotFound, folder);
    DirHandle dir(::opendir(native.constData()));
    if (!dir) throwOpenFailure(folder, errno);
    return dir;
}

// Only links and file systems without entry types need a look at the entry itself.
bool typeIsKnown(unsigned char type) { return type != DT_UNKNOWN && type != DT_LNK; }

bool isKind(unsigned char type, Kind kind) {
    return kind == Kind::Folders ? type == DT_DIR : type == DT_REG;
}

bool statIsKind(const QByteArray& path, Kind kind) {
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return false;
    return kind == Kind::Folders ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode);
}

} // namespace

void sortNames(QStringList& names) {
    // Fold each name once rather than on every comparison.
    struct Keyed {
        QString folded;
        QString name;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString& name : names) keyed.push_back({name.toCaseFolded(), std::move(name)});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int c = a.folded.compare(b.folded);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    for (qsizetype i = 0; i < names.size(); ++i) names[i] = std::move(keyed[size_t(i)].name);
}

QStringList entries(const QString& folder, Kind kind, const NameFilter& accept) {
    DirHandle dir = open(folder);
    QByteArray prefix = FileNames::encode(folder);
    if (!prefix.endsWith('/')) prefix += '/';
    QStringList names;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.') continue; // ".", ".." and hidden entries
        const bool known = typeIsKnown(entry->d_type);
        if (known && !isKind(entry->d_type, kind)) continue; // skipped before decoding its name
        QString name = FileNames::decode(QByteArray(entry->d_name));
        if (accept && !accept(name)) continue;
        if (!known && !statIsKind(prefix + entry->d_name, kind)) continue;
        names.append(std::move(name));
    }
    sortNames(names);
    return names;
}

void checkOpenable(const QString& folder) { open(folder); }

} // namespace FolderReader
