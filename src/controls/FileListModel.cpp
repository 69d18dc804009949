#include "controls/FileListModel.h"

#include "system/FileNames.h"

void FileListModel::setNames(QStringList names) {
    beginResetModel();
    names_ = std::move(names);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(names_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= names_.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return FileNames::display(names_[index.row()]);
    return {};
}
