#pragma once

#include <QImage>
#include <QWidget>

#include <memory>

class PictureAnimation;
class QTimer;

// The picture area: draws one picture flat and sizes itself to it, its top
// left corner staying where it is. A picture larger than the space the window
// leaves it shows scaled down to fit, never above its own size.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    const QImage& Picture() const { return picture_; }
    // Shows the picture; any animation playing stops.
    void setPicture(const QImage& picture);
    // Plays the frames after the picture given last, until the next picture
    // or until the area is hidden.
    void setAnimation(std::unique_ptr<PictureAnimation> animation);
    bool isAnimating() const;

    // The space right of and below the area's corner that the picture may
    // fill (invalid: no bound), and the largest such space the area can get on
    // its screen, which bounds what is worth decoding. The picture refits.
    void setSpace(QSize space, QSize largest);
    QSize space() const { return space_; }
    QSize decodeLimit() const { return largest_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void refit();
    void showNextFrame();

    QImage picture_;
    QImage shown_; // the picture at the size shown
    QSize space_, largest_;
    std::unique_ptr<PictureAnimation> animation_;
    QTimer* frameTimer_;
};
