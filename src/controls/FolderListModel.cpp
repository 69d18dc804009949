#include "controls/FolderListModel.h"

#include "system/FileNames.h"
#include "system/Paths.h"

#include <QApplication>
#include <QStyle>

FolderListModel::FolderListModel(QObject* parent)
    : QAbstractListModel(parent),
      openIcon_(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon)),
      closedIcon_(QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon)) {}

void FolderListModel::setFolder(const QString& path, QStringList subfolders) {
    beginResetModel();
    path_ = path;
    chain_ = QStringList(QStringLiteral("/")) + path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    subfolders_ = std::move(subfolders);
    endResetModel();
}

QString FolderListModel::pathAt(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    if (row > openRow()) return joinPath(path_, subfolders_[row - chain_.size()]);
    QString path = QStringLiteral("/");
    for (int i = 1; i <= row; ++i)
        path = joinPath(path, chain_[i]);
    return path;
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(chain_.size() + subfolders_.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (!index.isValid() || row >= rowCount()) return {};
    const bool inChain = row <= openRow();
    switch (role) {
    case Qt::DisplayRole:
        return FileNames::display(inChain ? chain_[row] : subfolders_[row - chain_.size()]);
    case Qt::DecorationRole:
        return inChain ? openIcon_ : closedIcon_;
    case DepthRole:
        return inChain ? row : openRow() + 1;
    default:
        return {};
    }
}
