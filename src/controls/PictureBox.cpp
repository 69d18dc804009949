#include "controls/PictureBox.h"

#include "controls/DetailFetcher.h"
#include "formats/PictureAnimation.h"

#include <QTimer>

namespace {
// A burst of wheel steps or drag moves asks for one decode, where it ends.
constexpr int DetailDelayMs = 40;
} // namespace

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), frameTimer_(new QTimer(this)), detailTimer_(new QTimer(this)),
      fetcher_(new DetailFetcher(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    frameTimer_->setSingleShot(true);
    connect(frameTimer_, &QTimer::timeout, this, &PictureBox::showNextFrame);
    detailTimer_->setSingleShot(true);
    detailTimer_->setInterval(DetailDelayMs);
    connect(detailTimer_, &QTimer::timeout, this, &PictureBox::fetchDetail);
}

PictureBox::~PictureBox() = default;

void PictureBox::setPicture(const QImage& picture, const QString& file) {
    frameTimer_->stop();
    animation_.reset();
    fetcher_->cancel();
    detailTimer_->stop();
    afterMeasure_ = nullptr;
    dragging_ = false;
    picture_ = picture;
    file_ = file;
    detail_ = {};
    requestedScale_ = 0;
    // A picture that fills the decode limit on a side may have been decoded
    // reduced: its own size is measured when it is first needed.
    const QSize limit = decodeLimit();
    ownKnown_ = !limit.isValid() || file.isEmpty() ||
                (picture.width() < limit.width() && picture.height() < limit.height());
    kindKnown_ = drawn_ = false;
    view_.own = picture.deviceIndependentSize().toSize();
    view_.showFitted();
    windowView_.showFitted();
    refit();
}

void PictureBox::setAnimation(std::unique_ptr<PictureAnimation> animation) {
    animation_ = std::move(animation);
    if (animation_) frameTimer_->start(animation_->delayMs());
}

bool PictureBox::isAnimating() const {
    return frameTimer_->isActive();
}

void PictureBox::setSpace(QSize space, QSize largest) {
    largest_ = largest;
    if (space == space_) return;
    space_ = space;
    if (!view_.fill) refit();
}

void PictureBox::setFullScreen(bool on) {
    if (on == view_.fill) return;
    if (on) {
        windowView_ = view_;
        view_.showFitted();
    } else {
        const QSize own = view_.own;
        view_ = windowView_;
        view_.own = own;
    }
    view_.fill = on;
    refit();
    if (on && !ownKnown_) zoomed([] {}); // fitted to the screen, maybe above the decode
}

void PictureBox::rehome(QWidget* parent) {
    rehoming_ = true;
    setParent(parent);
    rehoming_ = false;
}

void PictureBox::refit() {
    if (picture_.isNull()) return update();
    view_.space = view_.fill ? size() : space_;
    view_.clampOffset();
    // Fitted, the picture is scaled once here, smoothly, so that painting only copies.
    const QSize size = view_.scaledSize();
    shown_ = !view_.fitted ? QImage()
             : size == picture_.size()
                 ? picture_
                 : picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown_.setDevicePixelRatio(1);
    if (!view_.fill) resize(view_.areaSize());
    if (view_.pannable())
        setCursor(dragging_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else
        unsetCursor();
    update();
    if (!isSharp()) return detailTimer_->start();
    if (view_.fitted && pictureResolution() >= resolutionNeeded() * Slack) {
        // Back to what the picture at hand shows: a sharper one's memory goes.
        fetcher_->cancel();
        detail_ = {};
        requestedScale_ = 0;
    }
}

void PictureBox::showNextFrame() {
    if (!animation_ || !isVisible()) return;
    const QImage frame = animation_->nextFrame();
    if (frame.isNull()) return animation_.reset();
    picture_ = frame;
    refit();
    frameTimer_->start(animation_->delayMs());
}

void PictureBox::hideEvent(QHideEvent* event) {
    // A hidden area plays nothing; the next picture replaces the animation.
    if (!rehoming_) {
        frameTimer_->stop();
        animation_.reset();
    }
    QWidget::hideEvent(event);
}

void PictureBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (animation_ && !frameTimer_->isActive()) frameTimer_->start(animation_->delayMs());
    if (!isSharp()) detailTimer_->start();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (view_.fill) refit(); // the area is the screen: the picture fits it
}
