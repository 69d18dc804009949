#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A file's identity as the picture decoded from it knew it: should its size,
// time of change or inode differ now, the picture is not the file's any more.
struct FileStamp {
    qint64 size = -1, changedNs = 0;
    quint64 inode = 0, device = 0;
    bool operator==(const FileStamp&) const = default;
    // Of the regular file at path; nullopt for anything else.
    static std::optional<FileStamp> of(const QString& path);
};

// Pictures decoded ahead at one size, kept by path: the one shown and a few
// neighbours. A picture whose file changed since it was decoded is never
// given out.
class PictureCache {
  public:
    static constexpr int MaxBesidesShown = 3;

    // The picture of path decoded fitted in limit, if its file is unchanged.
    std::optional<QImage> take(const QString& path, QSize limit);
    bool holds(const QString& path, QSize limit) const;
    void put(const QString& path, QSize limit, const FileStamp& stamp, const QImage& picture);
    // Forgets every picture but those of these paths at this size.
    void keepOnly(const QStringList& paths, QSize limit);
    void clear() { entries_.clear(); }
    int count() const { return int(entries_.size()); }

  private:
    struct Entry {
        QString path;
        QSize limit;
        FileStamp stamp;
        QImage picture;
    };
    std::vector<Entry> entries_; // oldest first
};
