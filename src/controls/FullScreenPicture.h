#pragma once

#include <QPointer>
#include <QWidget>

class FileListBox;
class PictureBox;

// The picture alone on a black screen (F11 where the picture area or the file
// list has the focus): the picture area itself moves into this top-level
// window, its zoom and dragging with it, and back again on Esc or F11. The
// keys that move through the file list move it from here, and the list's
// selection runs its Click as for a key press in the list. In the window the
// list keeps its own keys; Ctrl+plus, minus and 0 there zoom the picture.
class FullScreenPicture : public QWidget {
    Q_OBJECT
  public:
    FullScreenPicture(PictureBox* area, FileListBox* list, QWidget* owner);

    void enter();
    void leave();
    bool isShowing() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    bool handleKey(QKeyEvent* event, bool inList);

    PictureBox* area_;
    FileListBox* list_;
    QWidget* home_ = nullptr;
    QPointer<QWidget> above_; // the sibling the area lay under at home
    QPointer<QWidget> focusBefore_;
    QPoint homeCorner_;
};
