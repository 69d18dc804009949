#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QStringList>

// What the folder list shows: the root and each ancestor of the open folder,
// the open folder itself, then its subfolders one level deeper.
class FolderListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    static constexpr int DepthRole = Qt::UserRole + 1;

    explicit FolderListModel(QObject* parent = nullptr);

    void setFolder(const QString& path, QStringList subfolders);
    // The row of the open folder.
    int openRow() const { return int(chain_.size()) - 1; }
    QString pathAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    QString path_;
    QStringList chain_;      // "/" and every part of the open folder's path
    QStringList subfolders_;
    QIcon openIcon_;
    QIcon closedIcon_;
};
