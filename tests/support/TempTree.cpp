#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <ftw.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
int removeEntry(const char* path, const struct stat*, int type, struct FTW*) {
    if (type == FTW_DP)
        ::rmdir(path);
    else
        ::unlink(path);
    return 0;
}
} // namespace

TempTree::TempTree() {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

TempTree::~TempTree() {
    // By bytes: Qt's own removal misses names that are not UTF-8.
    ::nftw(QFile::encodeName(dir_.path()).constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

QString TempTree::write(const QString& relative, const QByteArray& content) {
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).path());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        throw std::runtime_error("cannot write " + full.toStdString());
    return full;
}

QString TempTree::mkdir(const QString& relative) {
    const QString full = file(relative);
    QDir().mkpath(full);
    return full;
}

bool TempTree::writeRaw(const QByteArray& relative, const QByteArray& content, time_t age) const {
    const QByteArray full = QFile::encodeName(path()) + '/' + relative;
    const int fd = ::open(full.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    const struct timespec times[2] = {{::time(nullptr) - age, 0}, {::time(nullptr) - age, 0}};
    return ::close(fd) == 0 && written &&
           (age == 0 || ::utimensat(AT_FDCWD, full.constData(), times, 0) == 0);
}

QByteArray TempTree::readRaw(const QByteArray& relative) const {
    QFile f;
    const int fd = ::open((QFile::encodeName(path()) + '/' + relative).constData(), O_RDONLY);
    if (fd < 0 || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return "<unreadable>";
    return f.readAll();
}
