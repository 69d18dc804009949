#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The names a file list shows, in order.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(QStringList names);
    const QStringList& names() const { return names_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    QStringList names_;
};
