#include "system/Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace {

VolumeProvider& provider() {
    static VolumeProvider p;
    return p;
}

bool isUnder(const QString& path, const QString& root) {
    if (root == QLatin1String("/")) return path.startsWith(QLatin1Char('/'));
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

// Kernel and runtime file systems are no place to keep files in.
bool isSystemArea(const QString& root) {
    for (const char* area : {"/proc", "/sys", "/dev", "/run"}) {
        if (isUnder(root, QLatin1String(area))) return !isUnder(root, QStringLiteral("/run/media"));
    }
    return false;
}

bool isRealFileSystem(const QStorageInfo& info) {
    const QString root = info.rootPath();
    if (root == QLatin1String("/")) return true;
    if (isSystemArea(root) || !QFileInfo(root).isDir()) return false;
    const QByteArray device = info.device();
    const QByteArray type = info.fileSystemType();
    static const QList<QByteArray> network = {"nfs", "nfs4", "cifs", "smb3", "fuse.sshfs"};
    return device.startsWith("/dev/") || network.contains(type);
}

QList<Volume> machineVolumes() {
    QList<Volume> volumes;
    for (const QStorageInfo& info : QStorageInfo::mountedVolumes()) {
        if (!info.isValid() || !isRealFileSystem(info)) continue;
        Volume v{info.name(), info.rootPath()};
        if (v.name.isEmpty()) v.name = v.root == QLatin1String("/") ? QStringLiteral("root") : QFileInfo(v.root).fileName();
        if (!volumes.contains(v)) volumes.append(v);
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume& a, const Volume& b) { return a.root < b.root; });
    return volumes;
}

} // namespace

namespace Volumes {

QList<Volume> list() { return provider() ? provider()() : machineVolumes(); }

VolumeProvider setProvider(VolumeProvider p) {
    VolumeProvider previous = std::move(provider());
    provider() = std::move(p);
    return previous;
}

int indexOfVolumeHolding(const QList<Volume>& volumes, const QString& path) {
    int best = -1;
    for (int i = 0; i < volumes.size(); ++i) {
        if (isUnder(path, volumes[i].root) &&
            (best < 0 || volumes[i].root.size() > volumes[best].root.size()))
            best = i;
    }
    return best;
}

QString currentFolderOf(const QList<Volume>& volumes, int index) {
    const QString cwd = QDir::currentPath();
    if (indexOfVolumeHolding(volumes, cwd) == index) return cwd;
    return volumes[index].root;
}

bool isAccessible(const Volume& volume) {
    QDir root(volume.root);
    return root.exists() && root.isReadable();
}

} // namespace Volumes
