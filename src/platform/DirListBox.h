#pragma once

#include <QTreeWidget>

// The folder list: the open folder with its ancestors above it and its
// subfolders below. A click only highlights; a double click or Enter opens.
class DirListBox : public QTreeWidget {
    Q_OBJECT
  public:
    explicit DirListBox(QWidget* parent = nullptr);

    // The open folder: "/" for the root, otherwise without a trailing separator.
    QString Path() const { return path_; }
    // Opens folder; throws the platform error and keeps the open folder
    // when it cannot be opened. Change() fires only on a real change.
    void setPath(const QString& folder);
    // Re-reads the subfolders of the open folder.
    void Refresh();

  signals:
    void Change();

  private:
    void rebuild(const QStringList& subfolders);
    void openItem(QTreeWidgetItem* item);

    QString path_;
};
