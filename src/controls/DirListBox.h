#pragma once

#include <QListView>

class FolderListModel;

// The folder list: the open folder with its ancestors above it and its
// subfolders below, each indented by its depth. A click only highlights;
// a double click or Enter opens.
class DirListBox : public QListView {
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

    int ListCount() const;
    // The folder shown in a row (the open folder is at row OpenRow()).
    QString List(int row) const;
    int OpenRow() const;

  signals:
    void Change();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void display(const QStringList& subfolders);
    void showOpenFolder();
    void openRow(int row);

    FolderListModel* model_;
    QString path_;
};
