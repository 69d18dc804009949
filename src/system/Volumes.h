#pragma once

#include <QList>
#include <QString>
#include <functional>

// A mounted file system: what the drive list offers.
struct Volume {
    QString name;
    QString root; // mount point, e.g. "/" or "/media/usb"
    bool operator==(const Volume&) const = default;
};

using VolumeProvider = std::function<QList<Volume>()>;

namespace Volumes {

// The machine's volumes, read afresh on each call.
QList<Volume> list();

// Replaces where the volumes come from (tests list volumes that are gone);
// an empty provider brings back the machine's own. Returns the previous one.
VolumeProvider setProvider(VolumeProvider provider);

// The volume that holds path: the one with the longest root that is a
// prefix of it. Returns -1 when none does.
int indexOfVolumeHolding(const QList<Volume>& volumes, const QString& path);

// The folder that the volume counts as current: the process's current folder
// when that lies on the volume, else the volume's root.
QString currentFolderOf(const QList<Volume>& volumes, int index);

// True when the volume's root can still be opened.
bool isAccessible(const Volume& volume);

} // namespace Volumes
