#pragma once

#include "controls/PictureView.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

class DetailFetcher;
class PictureAnimation;
struct PictureDetail;
class QKeyEvent;
class QTimer;

// The picture area: draws one picture flat and sizes itself to it, its top
// left corner staying where it is. A picture larger than the space the window
// leaves it shows scaled down to fit, never above its own size. The user may
// zoom it (double-click, Ctrl+wheel, Ctrl+plus, minus and 0) and drag it
// about; a zoomed view is drawn from a sharper decode of its file, made on a
// worker, the picture at hand scaled standing in until it comes.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    const QImage& Picture() const { return picture_; }
    // Shows the picture fitted; any animation playing stops. file: where it
    // came from, for sharper decodes when zoomed (none without it).
    void setPicture(const QImage& picture, const QString& file = {});
    // Plays the frames after the picture given last, until the next picture
    // or until the area is hidden.
    void setAnimation(std::unique_ptr<PictureAnimation> animation);
    bool isAnimating() const;

    // The space right of and below the area's corner that the picture may
    // fill (invalid: no bound), and the largest such space the area can get on
    // its screen, which bounds what is worth decoding. The picture refits.
    void setSpace(QSize space, QSize largest);
    QSize space() const { return view_.fill ? size() : space_; }
    QSize decodeLimit() const { return view_.fill ? size() : largest_; }

    // Full screen: the area is its whole parent, the picture fitted in it and
    // centred on black. Back in the window, the view is as it was there.
    void setFullScreen(bool on);
    // Moves the area into another widget, an animation playing on.
    void rehome(QWidget* parent);

    // View pixels per picture pixel (0 until the picture's own size is known),
    // and whether that is the fitted view.
    double scale() const { return ownKnown_ ? view_.scale() : 0; }
    bool isFitted() const { return view_.fitted; }
    // The part of the scaled picture that the area shows.
    QRect visiblePart() const { return view_.visible(); }
    // What shows is as sharp as the screen can show it (or is the best the
    // file gives); false while a sharper decode is on its way.
    bool isSharp() const;
    // Zooms as the gestures do (between fitted and 800 %), the picture's
    // point at `at` staying where it is.
    void zoomTo(double scale, QPointF at);
    // Ctrl+plus, Ctrl+minus and Ctrl+0 zoom; true when the key was one.
    bool zoomKey(const QKeyEvent* event);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    static constexpr double Slack = 0.999; // sizes are rounded to whole pixels
    void refit();
    void showNextFrame();
    // Runs a zoom once the picture's own size is known; the sharper decode
    // for it starts at once, or for a burst (the wheel) once it pauses.
    void zoomed(const std::function<void()>& change, bool burst = false);
    double pictureResolution() const;
    double resolutionNeeded() const;
    bool detailServes() const;
    void fetchDetail();
    void takeDetail(const PictureDetail& detail, double scale);
    void drawScaled(QPainter& painter, const QImage& image, const QRectF& target,
                    const QRect& dirty) const;

    QImage picture_;
    QImage shown_; // the picture at the fitted size
    QString file_;
    QSize space_, largest_;
    PictureView view_, windowView_;
    bool ownKnown_ = true, kindKnown_ = false, drawn_ = false;
    bool rehoming_ = false;
    QImage detail_;     // a sharper decode, or a drawn part of a metafile
    QRectF detailRect_; // where it lies in the picture's own pixels
    double requestedScale_ = 0;
    QRect requestedPart_;
    std::function<void()> afterMeasure_;
    QPointF dragFrom_;
    bool dragging_ = false;
    int wheelAngle_ = 0;
    std::unique_ptr<PictureAnimation> animation_;
    QTimer* frameTimer_;
    QTimer* detailTimer_;
    DetailFetcher* fetcher_;
};
