#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <ftw.h>
#include <stdexcept>
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
