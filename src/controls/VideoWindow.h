#pragma once

#include <QImage>
#include <QWidget>

// A video's own top-level window: paints the newest picture scaled to the
// window, keeping its aspect ratio. Needs no GL.
class VideoWindow : public QWidget {
    Q_OBJECT
  public:
    // A window over `owner`, titled `title`; shown by the caller.
    VideoWindow(const QString& title, QWidget* owner);

    // The window's size for pictures of size `video`: their own size, but at
    // least 320 pixels on the longer side and at most 3/4 of `screen`.
    static QSize sizeFor(QSize video, QSize screen);
    // Takes the size for `video` and centres itself on its owner's window.
    void fitTo(QSize video);
    void showPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

  signals:
    void closed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QImage picture_;
};
