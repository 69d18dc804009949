#pragma once

#include <QListView>
#include <QStringList>

class FileListModel;
class QTimer;

// The file list: the files of one folder whose names match the pattern
// list, sorted by name without regard to case.
class FileListBox : public QListView {
    Q_OBJECT
  public:
    explicit FileListBox(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Lists folder; throws the platform error and keeps the list when it
    // cannot be read.
    void setPath(const QString& folder);
    QString Pattern() const { return pattern_; }
    // ";"-separated wildcard patterns; re-reads the folder.
    void setPattern(const QString& pattern);
    // The selected entry's bare name; empty with no selection.
    QString FileName() const;
    // Re-reads the folder, so that a deleted file leaves the list.
    void Refresh();
    // The list's height in twips; a negative height is refused.
    void setHeight(double twips);

    int ListCount() const;
    QString List(int index) const;
    // Selects an entry as the user would, firing Click().
    void selectIndex(int index);

  signals:
    void Click();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void reload(const QString& folder);
    void populate() const;
    void clickNow();

    FileListModel* model_;
    mutable bool stale_ = false;
    QString path_;
    QString pattern_ = QStringLiteral("*");
    // Keyboard moves run Click from the event loop, once for the entry the
    // selection rests on: a held arrow key never waits on the entries it passes.
    QTimer* keyClick_;
};
