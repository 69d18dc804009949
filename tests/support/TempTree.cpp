#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

TempTree::TempTree() {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
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
