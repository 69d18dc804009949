#include "controls/PictureCache.h"

#include "system/FileNames.h"

#include <sys/stat.h>

std::optional<FileStamp> FileStamp::of(const QString& path) {
    struct stat st {};
    if (::stat(FileNames::encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    FileStamp stamp;
    stamp.size = st.st_size;
    stamp.changedNs = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    stamp.inode = st.st_ino;
    stamp.device = st.st_dev;
    return stamp;
}

std::optional<QImage> PictureCache::take(const QString& path, QSize limit) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path != path || it->limit != limit) continue;
        if (FileStamp::of(path) == it->stamp) return it->picture;
        entries_.erase(it); // the file changed: decoded again
        return std::nullopt;
    }
    return std::nullopt;
}

bool PictureCache::holds(const QString& path, QSize limit) const {
    for (const Entry& e : entries_)
        if (e.path == path && e.limit == limit) return true;
    return false;
}

void PictureCache::put(const QString& path, QSize limit, const FileStamp& stamp,
                       const QImage& picture) {
    std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
    entries_.push_back({path, limit, stamp, picture});
    if (entries_.size() > size_t(MaxBesidesShown + 1)) entries_.erase(entries_.begin());
}

void PictureCache::keepOnly(const QStringList& paths, QSize limit) {
    std::erase_if(entries_,
                  [&](const Entry& e) { return e.limit != limit || !paths.contains(e.path); });
}
